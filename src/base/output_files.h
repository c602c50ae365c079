// Writing a file at a path the user names (tessaly-show --grid and --svg, tessaly-stats and
// tessaly-farm --html, tessaly-gen's OUTPUT and --solution): what becomes of what is there.
#pragma once

#include <string>
#include <vector>

// Writes `text` to the path `path` a user named, by what is there:
// - nothing, or a regular file: written whole (writeWholeFile), the old file replaced;
// - a character device or a FIFO, itself or at the end of symbolic links (/dev/null, and
//   /dev/stdout on a terminal or a pipe): written in place, the open never blocking, so that a
//   FIFO that no process reads is refused rather than waited for;
// - anything else is refused: a directory, a socket, a block device, a symbolic link to a
//   regular file or to nothing.
// A path that names the same file as one of `inputs` (the files the program reads or must leave
// alone, however named) is refused too, and so is one that is not there yet but has the name of
// an input in the same directory. Returns the problem in one sentence, "cannot write PATH:
// REASON", or an empty text when the file was written.
std::string writeOutputFile(const std::string& path, const std::string& text,
                            const std::vector<std::string>& inputs);
