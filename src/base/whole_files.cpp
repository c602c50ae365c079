#include "base/whole_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>

#include "base/disk_sync.h"

int writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

std::string moveAside(const char* name, const char* kind, const char* stamp) {
    for (int copy = 1; copy < 10; ++copy) {
        std::string target = std::string(name) + "." + kind + "-" + stamp;
        if (copy > 1) {
            target += '-';
            target += std::to_string(copy);
        }
        errno = renameWithoutReplacing(name, target.c_str());
        if (errno == 0) return target;
        if (errno != EEXIST) return "";
    }
    return "";
}

std::string fileStamp() {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &parts);
    return stamp;
}

int renameWithoutReplacing(const char* from, const char* to) {
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without that kind of rename: a second name, which fails when `to` exists,
    // then the first name removed.
    if (link(from, to) != 0) return errno;
    unlink(from);
    return 0;
}

namespace {
constexpr std::string_view temporarySuffix = ".tmp";
// No process id on Linux exceeds 2^22, the highest value its pid_max may be set to.
constexpr long long largestProcessId = 1 << 22;
}  // namespace

TemporaryFile writeTemporaryFile(const char* path, const std::string& text, bool sync) {
    TemporaryFile temporary{std::string(path) + std::string(temporarySuffix) +
                            std::to_string(getpid())};
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = open(temporary.name.c_str(), flags, 0666);
    if (fd < 0 && errno == EEXIST && unlink(temporary.name.c_str()) == 0)
        fd = open(temporary.name.c_str(), flags, 0666);
    if (fd < 0) {
        temporary.error = errno;
        return temporary;
    }
    int error = writeAll(fd, text);
    if (error == 0 && sync && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error != 0) unlink(temporary.name.c_str());
    temporary.error = error;
    return temporary;
}

std::optional<std::string_view> temporaryFileTarget(std::string_view name) {
    const std::size_t at = name.rfind(temporarySuffix);
    if (at == std::string_view::npos || at == 0) return std::nullopt;
    // A process id as std::to_string writes it: 1 to the largest id the system gives, no
    // leading zero.
    const std::string_view digits = name.substr(at + temporarySuffix.size());
    long long id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (digits.empty() || digits[0] == '0' || error != std::errc{} ||
        end != digits.data() + digits.size() || id < 1 || id > largestProcessId)
        return std::nullopt;
    return name.substr(0, at);
}

int writeWholeFile(const char* path, const std::string& text, Existing existing, bool sync) {
    const TemporaryFile temporary = writeTemporaryFile(path, text, sync);
    if (temporary.error != 0) return temporary.error;
    int error = 0;
    if (existing == Existing::keep)
        error = renameWithoutReplacing(temporary.name.c_str(), path);
    else if (std::rename(temporary.name.c_str(), path) != 0)
        error = errno;
    if (error != 0) {
        unlink(temporary.name.c_str());
        return error;
    }
    return sync ? syncDirectoryOf(path) : 0;
}
