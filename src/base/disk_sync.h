// Writing files so that they survive a power cut: the data and the directory entry on the disk.
#pragma once

// Flushes the directory that holds `path` ("." for a bare name) to the disk, so that a file
// created or renamed there keeps its name after a power cut. Returns 0, or the errno of the
// failure; a file system that cannot sync directories (EINVAL) counts as done.
int syncDirectoryOf(const char* path);
