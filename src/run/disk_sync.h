// Writing files so that they survive a power cut: the data and the directory entry on the disk.
#pragma once

#include <string>

// Flushes the directory that holds `path` ("." for a bare name) to the disk, so that a file
// created or renamed there keeps its name after a power cut. Returns 0, or the errno of the
// failure; a file system that cannot sync directories (EINVAL) counts as done.
int syncDirectoryOf(const char* path);
// Creates `path` holding `text` (replacing a file of that name, or, when `exclusive`, failing
// with EEXIST if there is one) and flushes the file and its directory entry to the disk before
// it returns. Returns 0, or the errno of the step that failed; when `exclusive`, a file that
// could not be written whole is removed again.
int writeFileToDisk(const char* path, const std::string& text, bool exclusive);
