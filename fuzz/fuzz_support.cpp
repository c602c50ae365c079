#include "fuzz_support.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "base/console.h"

std::string memoryFile(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("fuzz-input", 0);
    require(fd >= 0, "memfd_create failed");
    require(ftruncate(fd, 0) == 0, "ftruncate failed");
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        require(n > 0, "writing the input failed");
        done += static_cast<std::size_t>(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

void quietConsole() {
    static std::FILE* nowhere = std::fopen("/dev/null", "w");
    process.consoleOut = nowhere;
    process.consoleErr = nowhere;
}

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}
