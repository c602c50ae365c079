#include "base/directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

// The process that holds an flock lock on the file open as `fd`, as the kernel lists it in
// /proc/locks; 0 when it cannot be told. The lock file's content is not trusted for this: a
// holder that could not write its id there leaves an earlier, stale one.
pid_t lockHolder(int fd) {
    struct stat status {};
    if (fstat(fd, &status) != 0) return 0;
    std::FILE* locks = std::fopen("/proc/locks", "re");
    if (locks == nullptr) return 0;
    pid_t holder = 0;
    char line[256];
    while (holder == 0 && std::fgets(line, sizeof line, locks) != nullptr) {
        // "1: FLOCK  ADVISORY  WRITE 4242 fd:01:123456 0 EOF"; waiting locks have "->" first.
        char kind[16];
        char mode[16];
        long pid = 0;
        unsigned int major = 0;
        unsigned int minor = 0;
        unsigned long inode = 0;
        if (std::sscanf(line, "%*d: %15s %*s %15s %ld %x:%x:%lu", kind, mode, &pid, &major, &minor,
                        &inode) == 6 &&
            std::string(kind) == "FLOCK" && std::string(mode) == "WRITE" &&
            inode == status.st_ino && major == major(status.st_dev) &&
            minor == minor(status.st_dev))
            holder = static_cast<pid_t>(pid);
    }
    std::fclose(locks);
    return holder;
}

// Takes an exclusive lock on `fd` without waiting: 0, or the errno; on EWOULDBLOCK the holder.
int lockWithoutWaiting(int fd, pid_t& holder) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
    const int error = errno;
    if (error == EWOULDBLOCK) holder = lockHolder(fd);
    return error;
}

}  // namespace

DirectoryLock lockDirectory(const std::string& directory) {
    DirectoryLock lock;
    // The directory itself is locked, so that the lock holds whatever stands under the lock
    // file's name (a link, a directory, a file of another user). The lock file is locked too,
    // where it can be used: it holds the holder's id for people, and file systems that cannot
    // lock a directory still lock it.
    const int directoryFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int directoryError = directoryFd < 0 ? errno : lockWithoutWaiting(directoryFd, lock.holder);
    if (directoryError == EWOULDBLOCK) {
        close(directoryFd);
        lock.error = EWOULDBLOCK;
        return lock;
    }
    // The file is never replaced or removed, only rewritten in place by the holder: a process
    // that opens it must lock the very file the holder locked.
    const std::string path = directory + "/" + lockFileName;
    constexpr int flags = O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = open(path.c_str(), O_RDWR | flags, 0666);
    if (fd < 0 && errno == EACCES) fd = open(path.c_str(), O_RDONLY | flags, 0666);
    struct stat status {};
    if (fd >= 0 && (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
        close(fd);
        fd = -1;
        errno = EINVAL;
    }
    const int fileError = fd < 0 ? errno : lockWithoutWaiting(fd, lock.holder);
    if (fileError == EWOULDBLOCK) {
        if (directoryError == 0) close(directoryFd);
        close(fd);
        lock.error = EWOULDBLOCK;
        return lock;
    }
    if (fileError == 0) {
        char text[24];
        const int length = std::snprintf(text, sizeof text, "%ld\n", static_cast<long>(getpid()));
        // The id only helps people; a lock file it cannot be written to still locks.
        [[maybe_unused]] const bool written =
            ftruncate(fd, 0) == 0 &&
            pwrite(fd, text, static_cast<std::size_t>(length), 0) == length;
    } else if (fd >= 0) {
        close(fd);
    }
    if (directoryError != 0 && directoryFd >= 0) close(directoryFd);
    // Held when either lock is; otherwise why the lock file could not be locked.
    lock.error = directoryError == 0 || fileError == 0 ? 0 : fileError;
    return lock;
}

std::string lockRefusal(const std::string& directory, const DirectoryLock& lock) {
    const std::string other = lock.holder > 0
                                  ? "another process (pid " + std::to_string(lock.holder) + ")"
                                  : "another process";
    return directory + " is in use by " + other +
           "; only one solver or farm at a time may keep its statistics there";
}
