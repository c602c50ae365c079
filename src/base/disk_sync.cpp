#include "base/disk_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

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
