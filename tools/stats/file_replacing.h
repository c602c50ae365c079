// Writing a file that others read while it changes: a new file beside it, renamed over it.
#pragma once

#include <string>

// Writes `text` to a temporary file in the directory of `path` and renames it over `path`,
// so that a reader opens either the whole old file or the whole new one, never a part. The
// problem in words (no file is changed and no temporary file is left), or an empty text.
std::string replaceFile(const std::string& path, const std::string& text);
