// Child processes that never outlive the program that started them.
#pragma once

#include <sys/types.h>

#include <vector>

// Forks as fork() does. The child is sent `signalAtParentEnd` when the calling thread ends
// (the main thread ends with the process), however it ends, SIGKILL included; a child whose
// parent ended during the fork ends at once with status 125. Call it from the thread that lives
// as long as the child may (the main thread), before any exec in the child, which keeps it.
pid_t forkBoundChild(int signalAtParentEnd);

// Sends SIGKILL to every one of `children` and waits for each to end, so that none of them
// runs on after a failure of the program that started them.
void endChildren(const std::vector<pid_t>& children);
