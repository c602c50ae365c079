#include "base/output_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/file_reading.h"
#include "base/whole_files.h"

namespace {

bool writtenInPlace(mode_t mode) {
    return S_ISCHR(mode) || S_ISFIFO(mode);
}

// Writes `text` into the device or FIFO (`type`) at `path`; the reason it failed, or an empty
// text.
std::string writeInPlace(const std::string& path, const std::string& text, mode_t type) {
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENXIO && S_ISFIFO(type)) return "it is a FIFO that no process reads";
    if (fd < 0) return std::strerror(errno);
    // What was opened must still be what was looked at: never a regular file, written in
    // place through a link.
    struct stat status {};
    if (fstat(fd, &status) != 0 || !writtenInPlace(status.st_mode)) {
        close(fd);
        return "it changed while it was opened";
    }
    // The writes may wait for a slow reader; only the open must not wait for a missing one.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int error = writeAll(fd, text);
    if (close(fd) != 0 && error == 0) error = errno;
    return error == 0 ? "" : std::strerror(error);
}

// Whether `a` and `b` name the same entry of the same directory, whether it exists or not.
bool sameName(const std::string& a, const std::string& b) {
    const std::filesystem::path first(a), second(b);
    if (first.filename().empty() || first.filename() != second.filename()) return false;
    const auto directoryOf = [](const std::filesystem::path& path) {
        return path.has_parent_path() ? path.parent_path().string() : std::string(".");
    };
    struct stat firstDirectory {
    }, secondDirectory{};
    return stat(directoryOf(first).c_str(), &firstDirectory) == 0 &&
           stat(directoryOf(second).c_str(), &secondDirectory) == 0 &&
           firstDirectory.st_dev == secondDirectory.st_dev &&
           firstDirectory.st_ino == secondDirectory.st_ino;
}

// Why `path` may not be written, or an empty text; `type` is set to the type of a device or
// FIFO to be written in place, and to 0 for a path written whole.
std::string refusal(const std::string& path, const std::vector<std::string>& inputs, mode_t& type) {
    type = 0;
    struct stat own {};
    if (lstat(path.c_str(), &own) != 0) {
        if (errno != ENOENT) return std::strerror(errno);
        // Nothing is there yet: the name an input would have is refused all the same.
        for (const std::string& input : inputs)
            if (sameName(path, input)) return "it is the name of the input " + input;
        return "";
    }
    struct stat target = own;
    if (S_ISLNK(own.st_mode)) {
        if (stat(path.c_str(), &target) != 0)
            return errno == ENOENT ? "it is a symbolic link to nothing" : std::strerror(errno);
        if (!writtenInPlace(target.st_mode))
            return std::string("it is a symbolic link to ") + fileTypeName(target.st_mode) +
                   ", which is not written through";
    } else if (!S_ISREG(own.st_mode) && !writtenInPlace(own.st_mode)) {
        return std::string("it is ") + fileTypeName(own.st_mode) + ", not a regular file";
    }
    for (const std::string& input : inputs) {
        struct stat inputStatus {};
        if (stat(input.c_str(), &inputStatus) == 0 && inputStatus.st_dev == target.st_dev &&
            inputStatus.st_ino == target.st_ino)
            return "it is the input " + input;
    }
    if (writtenInPlace(target.st_mode)) type = target.st_mode & S_IFMT;
    return "";
}

}  // namespace

std::string writeOutputFile(const std::string& path, const std::string& text,
                            const std::vector<std::string>& inputs) {
    mode_t type = 0;
    std::string problem = refusal(path, inputs, type);
    if (problem.empty() && type != 0) {
        problem = writeInPlace(path, text, type);
    } else if (problem.empty()) {
        const int error = writeWholeFile(path.c_str(), text, Existing::replace, false);
        if (error != 0) problem = std::strerror(error);
    }
    return problem.empty() ? "" : "cannot write " + path + ": " + problem;
}
