#include "base/directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

DirectoryLock lockDirectory(const std::string& directory) {
    DirectoryLock lock;
    const std::string path = directory + "/" + lockFileName;
    // The file is never replaced or removed, only rewritten in place by the holder: a process
    // that opens it must lock the very file the holder locked.
    constexpr int flags = O_CREAT | O_NOFOLLOW | O_CLOEXEC;
    int fd = open(path.c_str(), O_RDWR | flags, 0666);
    if (fd < 0 && errno == EACCES) fd = open(path.c_str(), O_RDONLY | flags, 0666);
    if (fd < 0) {
        lock.error = errno;
        return lock;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        lock.error = errno;
        char text[24] = {};
        if (lock.error == EWOULDBLOCK && pread(fd, text, sizeof text - 1, 0) > 0)
            lock.holder = static_cast<pid_t>(std::atol(text));
        close(fd);
        return lock;
    }
    char text[24];
    const int length = std::snprintf(text, sizeof text, "%ld\n", static_cast<long>(getpid()));
    // The id only helps the message of a second process; a lock file it cannot be written to
    // still locks.
    [[maybe_unused]] const bool written =
        ftruncate(fd, 0) == 0 && pwrite(fd, text, static_cast<std::size_t>(length), 0) == length;
    return lock;
}

std::string lockRefusal(const std::string& directory, const DirectoryLock& lock) {
    const std::string other = lock.holder > 0
                                  ? "another process (pid " + std::to_string(lock.holder) + ")"
                                  : "another process";
    return directory + " is in use by " + other +
           "; only one solver or farm at a time may keep its statistics there";
}
