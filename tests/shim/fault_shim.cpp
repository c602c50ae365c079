// A library that the tests preload into a built program (LD_PRELOAD) to inject faults into its
// system calls, as a failing disk, a full process table or a clock set back would. Settings come
// from the environment:
//   TESSALY_FAULT_OPEN=NAME:ERRNO:COUNT  the first COUNT opens of a file whose last path
//                                        component is NAME fail with ERRNO (a number); with
//                                        COUNT 0, every open of it fails
//   TESSALY_FAULT_WALL_STEP=SECONDS:MS   from MS milliseconds after the program started, the
//                                        wall clock reads SECONDS later (earlier if negative)
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/time.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

struct Faults {
    char openName[256] = {};
    int openError = 0;
    std::atomic<long> opensLeft{0};  // below 0: every open fails
    long wallStepSeconds = 0;
    long wallStepAfterMs = 0;
    long startMs = 0;
};
Faults faults;

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

long monotonicMs() {
    static const auto real = next<int (*)(clockid_t, timespec*)>("clock_gettime");
    timespec now{};
    real(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

[[gnu::constructor]] void readSettings() {
    faults.startMs = monotonicMs();
    if (const char* open = std::getenv("TESSALY_FAULT_OPEN")) {
        long count = 0;
        if (std::sscanf(open, "%255[^:]:%d:%ld", faults.openName, &faults.openError, &count) == 3)
            faults.opensLeft = count > 0 ? count : -1;
    }
    if (const char* step = std::getenv("TESSALY_FAULT_WALL_STEP"))
        if (std::sscanf(step, "%ld:%ld", &faults.wallStepSeconds, &faults.wallStepAfterMs) != 2)
            faults.wallStepSeconds = 0;
}

// Whether this open of `path` is to fail.
bool openFails(const char* path) {
    if (faults.openName[0] == '\0' || path == nullptr) return false;
    const char* slash = std::strrchr(path, '/');
    if (std::strcmp(slash != nullptr ? slash + 1 : path, faults.openName) != 0) return false;
    long left = faults.opensLeft.load();
    while (left != 0)
        if (left < 0 || faults.opensLeft.compare_exchange_weak(left, left - 1)) return true;
    return false;
}

long wallShift() {
    if (faults.wallStepSeconds == 0) return 0;
    return monotonicMs() - faults.startMs >= faults.wallStepAfterMs ? faults.wallStepSeconds : 0;
}

mode_t modeOf(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    if (openFails(path)) {
        errno = faults.openError;
        return -1;
    }
    static const auto real = next<int (*)(const char*, int, ...)>("open");
    return real(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    if (openFails(path)) {
        errno = faults.openError;
        return -1;
    }
    static const auto real = next<int (*)(const char*, int, ...)>("open64");
    return real(path, flags, mode);
}

int openat(int directory, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeOf(flags, arguments);
    va_end(arguments);
    if (openFails(path)) {
        errno = faults.openError;
        return -1;
    }
    static const auto real = next<int (*)(int, const char*, int, ...)>("openat");
    return real(directory, path, flags, mode);
}

time_t time(time_t* result) {
    static const auto real = next<time_t (*)(time_t*)>("time");
    const time_t now = real(nullptr) + wallShift();
    if (result != nullptr) *result = now;
    return now;
}

int clock_gettime(clockid_t clock, timespec* now) {
    static const auto real = next<int (*)(clockid_t, timespec*)>("clock_gettime");
    const int status = real(clock, now);
    if (status == 0 && (clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE))
        now->tv_sec += wallShift();
    return status;
}

int gettimeofday(timeval* now, void* zone) {
    static const auto real = next<int (*)(timeval*, void*)>("gettimeofday");
    const int status = real(now, zone);
    if (status == 0) now->tv_sec += wallShift();
    return status;
}

}  // extern "C"
