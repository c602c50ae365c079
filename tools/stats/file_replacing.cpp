#include "stats/file_replacing.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

std::string replaceFile(const std::string& path, const std::string& text) {
    // The process id keeps two writers of one page from sharing a temporary file.
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) return "cannot write " + path + ": " + std::strerror(errno);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(temporary.c_str());
        return "cannot write " + path;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string problem = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return problem;
    }
    return "";
}
