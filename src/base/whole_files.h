// Writing a whole file safely: never in place, never through a link, never half.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// What writeWholeFile does when a file of that name is already there.
enum class Existing { replace, keep };

// Writes `text` as the file `path`. The text goes to a temporary file beside it
// (writeTemporaryFile), which is then renamed to `path`: over whatever is there (replace), or
// only when nothing is (keep, else EEXIST). With `sync` the file and its directory entry are
// flushed to the disk before it returns. Returns 0, or the errno of the step that failed; a
// failure leaves `path` as it was and no temporary file.
int writeWholeFile(const char* path, const std::string& text, Existing existing, bool sync);

// A file written whole under a temporary name beside the path it is meant for.
struct TemporaryFile {
    std::string name;  // PATH.tmpPID
    int error = 0;     // 0, or the errno of the step that failed (then no file is left)
};
// Writes `text` as PATH.tmpPID (no other living process uses the name; one writer of a path at
// a time per process), created exclusively and never through a link: a leftover or a link
// planted under that name is removed first, its target untouched. With `sync` the data is
// flushed to the disk. The caller renames it into place (or removes it).
TemporaryFile writeTemporaryFile(const char* path, const std::string& text, bool sync);
// The path a temporary file named `name` was written for (the name without ".tmpPID"), or
// nothing when the name is not exactly one writeTemporaryFile makes: PID a process id as it is
// written, from 1 to the largest the system gives, without a leading zero.
std::optional<std::string_view> temporaryFileTarget(std::string_view name);

// Moves `name` aside to NAME.KIND-STAMP, or to NAME.KIND-STAMP-2, ... -9 when that is taken,
// never over anything. The new name, or an empty text with errno set.
std::string moveAside(const char* name, const char* kind, const char* stamp);
// The local time as the names of files moved aside carry it: "20261208-191500".
std::string fileStamp();

// Renames `from` to `to` unless something is at `to` (then EEXIST). Returns 0 or the errno.
int renameWithoutReplacing(const char* from, const char* to);

// Writes all of `text` to the open descriptor `fd`; 0 or the errno of the write that failed.
int writeAll(int fd, const std::string& text);
