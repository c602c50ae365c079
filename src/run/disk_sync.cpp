#include "run/disk_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Writes all of `text` to `fd`; 0 or the errno of the failure.
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

}  // namespace

int syncDirectoryOf(const char* path) {
    const char* slash = std::strrchr(path, '/');
    const std::string directory =
        slash == nullptr ? "." : (slash == path ? "/" : std::string(path, slash));
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    close(fd);
    return error;
}

int writeFileToDisk(const char* path, const std::string& text, bool exclusive) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
    const int fd = open(path, flags, 0644);
    if (fd < 0) return errno;
    int error = writeAll(fd, text);
    if (error == 0 && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0) error = syncDirectoryOf(path);
    if (error != 0 && exclusive) unlink(path);
    return error;
}
