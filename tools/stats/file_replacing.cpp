#include "stats/file_replacing.h"

#include <cstring>

#include "base/whole_files.h"

std::string replaceFile(const std::string& path, const std::string& text) {
    const int error = writeWholeFile(path.c_str(), text, Existing::replace, false);
    return error == 0 ? "" : "cannot write " + path + ": " + std::strerror(error);
}
