#include "base/whole_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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

int renameWithoutReplacing(const char* from, const char* to) {
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without that kind of rename: a second name, which fails when `to` exists,
    // then the first name removed.
    if (link(from, to) != 0) return errno;
    unlink(from);
    return 0;
}

int writeWholeFile(const char* path, const std::string& text, Existing existing, bool sync) {
    const std::string temporary = std::string(path) + ".tmp" + std::to_string(getpid());
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = open(temporary.c_str(), flags, 0666);
    if (fd < 0 && errno == EEXIST && unlink(temporary.c_str()) == 0)
        fd = open(temporary.c_str(), flags, 0666);
    if (fd < 0) return errno;
    int error = writeAll(fd, text);
    if (error == 0 && sync && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0) {
        if (existing == Existing::keep)
            error = renameWithoutReplacing(temporary.c_str(), path);
        else if (std::rename(temporary.c_str(), path) != 0)
            error = errno;
    }
    if (error != 0) {
        unlink(temporary.c_str());
        return error;
    }
    return sync ? syncDirectoryOf(path) : 0;
}
