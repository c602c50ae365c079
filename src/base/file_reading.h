// Reading the files the programs are given: only a regular file is opened, and without
// blocking, so that a FIFO, a device or a directory under the name gets a message instead of a
// hang; a file read whole is read with a bound.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

// Why a file was not read, or nothing when it was.
struct FileReading {
    enum Fault { none, cannotOpen, notRegular, tooLarge, cannotRead };
    Fault fault = none;
    int error = 0;            // the errno of cannotOpen and cannotRead
    mode_t type = 0;          // with notRegular: the file type bits (S_IFIFO, S_IFDIR, ...)
    std::uint64_t limit = 0;  // with tooLarge: the bound the file passed, in bytes
};

// What a file of the type bits `mode` is, with its article: "a directory", "a FIFO",
// "a character device", "a block device", "a socket", "a symbolic link" or "a regular file".
const char* fileTypeName(mode_t mode);

// The fault of `reading` in words that follow the file's name: "does not exist", "is a FIFO,
// not a regular file", "cannot be opened (Permission denied)", "is larger than 1048576
// bytes", "cannot be read (Input/output error)".
std::string readingProblem(const FileReading& reading);

// Whether `error` (an errno) is a fault of the moment rather than of the file: too many open
// files, no memory, an input/output error, an interrupted call. Reading it again later may
// work, so the file must not be taken for damaged.
bool isPassingError(int error);

// A file that the system cannot read now is tried this often, this far apart, before its fault
// is taken as it is: long enough for a passing shortage to clear, short enough for a start.
inline constexpr int passingFaultAttempts = 5;
inline constexpr int passingFaultPauseMs = 200;
// Calls `attempt` until it says it is done (true: read, or failed for good rather than by a
// passing fault), at most passingFaultAttempts times, passingFaultPauseMs apart.
void retryPassingFaults(const std::function<bool()>& attempt);

// Opens `path` (through links) for reading when it is a regular file: a file of another type
// is not opened at all, and the open itself does not block (O_NONBLOCK, then fstat on the
// descriptor), so that a FIFO put there between the two looks is refused as well. The stream,
// closed on exec, or nullptr with the fault in `reading`.
std::FILE* openRegularFile(const char* path, FileReading& reading);

// Reads the regular file at `path` whole into `text` when it holds at most `limit` bytes; a
// larger one is tooLarge, and no more than limit + 1 bytes of it are read, whatever its size
// or its growth.
FileReading readRegularFile(const char* path, std::size_t limit, std::string& text);
