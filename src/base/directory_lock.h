// One process per statistics directory: an advisory lock on the directory and on a file in it,
// held for the process's life, so that two solvers (or two farms) never save over each other's
// counts.
#pragma once

#include <sys/types.h>

#include <string>

// The lock file in a directory; it holds the id of the process that has the lock.
inline constexpr const char* lockFileName = "tessaly.lock";

struct DirectoryLock {
    int error = 0;     // 0 when the lock is held; EWOULDBLOCK when another process holds it;
                       // otherwise why it could not be taken
    pid_t holder = 0;  // with EWOULDBLOCK, the holder's id as the kernel lists its lock, else 0
};

// Takes the lock of `directory` for the rest of the process's life (its descriptors are kept
// open, and closed on exec so that no started program holds it) and writes this process's id
// into the lock file. The directory's own lock holds even when the lock file cannot be used
// (a link, a directory, a file of another user); the lock file's serves file systems that
// cannot lock a directory. When another process holds either, nothing is changed.
DirectoryLock lockDirectory(const std::string& directory);
// The refusal to start in a directory that `lock` found taken, in words: the directory and
// the other process's id when known.
std::string lockRefusal(const std::string& directory, const DirectoryLock& lock);
