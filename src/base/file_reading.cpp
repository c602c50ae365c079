#include "base/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

const char* fileTypeName(mode_t mode) {
    switch (mode & S_IFMT) {
        case S_IFREG:
            return "a regular file";
        case S_IFDIR:
            return "a directory";
        case S_IFIFO:
            return "a FIFO";
        case S_IFCHR:
            return "a character device";
        case S_IFBLK:
            return "a block device";
        case S_IFSOCK:
            return "a socket";
        case S_IFLNK:
            return "a symbolic link";
    }
    return "a file of an unknown type";
}

std::string readingProblem(const FileReading& reading) {
    switch (reading.fault) {
        case FileReading::none:
            return "";
        case FileReading::cannotOpen:
            if (reading.error == ENOENT) return "does not exist";
            return std::string("cannot be opened (") + std::strerror(reading.error) + ")";
        case FileReading::notRegular:
            return std::string("is ") + fileTypeName(reading.type) + ", not a regular file";
        case FileReading::tooLarge:
            return "is larger than " + std::to_string(reading.limit) + " bytes";
        case FileReading::cannotRead:
            return std::string("cannot be read (") + std::strerror(reading.error) + ")";
    }
    return "cannot be read";
}

bool isPassingError(int error) {
    switch (error) {
        case EMFILE:
        case ENFILE:
        case ENOMEM:
        case ENOBUFS:
        case EIO:
        case EINTR:
        case EAGAIN:
        case EBUSY:
        case ETIMEDOUT:
            return true;
    }
    return false;
}

void retryPassingFaults(const std::function<bool()>& attempt) {
    for (int done = 0; done < passingFaultAttempts; ++done) {
        if (done > 0) std::this_thread::sleep_for(std::chrono::milliseconds(passingFaultPauseMs));
        if (attempt()) return;
    }
}

std::FILE* openRegularFile(const char* path, FileReading& reading) {
    reading = {};
    // A device is not even opened: opening some has effects of its own.
    struct stat status {};
    if (stat(path, &status) != 0) {
        reading = {FileReading::cannotOpen, errno, 0, 0};
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        reading = {FileReading::notRegular, 0, status.st_mode & S_IFMT, 0};
        return nullptr;
    }
    // O_NONBLOCK has no effect on the reading of a regular file; it only keeps the open of a
    // FIFO that took the file's place from waiting for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reading = {FileReading::cannotOpen, errno, 0, 0};
        return nullptr;
    }
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        reading = {FileReading::notRegular, 0, status.st_mode & S_IFMT, 0};
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "r");
    if (file == nullptr) {
        reading = {FileReading::cannotOpen, errno, 0, 0};
        close(fd);
    }
    return file;
}

FileReading readRegularFile(const char* path, std::size_t limit, std::string& text) {
    text.clear();
    FileReading reading;
    std::FILE* file = openRegularFile(path, reading);
    if (file == nullptr) return reading;
    struct stat status {};
    if (fstat(fileno(file), &status) == 0 && static_cast<std::uint64_t>(status.st_size) > limit) {
        std::fclose(file);
        return {FileReading::tooLarge, 0, 0, limit};
    }
    // The size may change while the file is read: the reading stops one byte past the limit.
    char buffer[16384];
    std::size_t n = 0;
    while (text.size() <= limit &&
           (n = std::fread(buffer, 1, std::min(sizeof buffer, limit + 1 - text.size()), file)) > 0)
        text.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) {
        text.clear();
        return {FileReading::cannotRead, error, 0, 0};
    }
    if (text.size() > limit) {
        text.clear();
        return {FileReading::tooLarge, 0, 0, limit};
    }
    return reading;
}
