#include "base/child_processes.h"

#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

pid_t forkBoundChild(int signalAtParentEnd) {
    [[maybe_unused]] const pid_t parent = getpid();
    const pid_t pid = fork();
#ifdef __linux__
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, signalAtParentEnd);
        // A parent that ended before the line above sends nothing; its child has a new parent.
        if (getppid() != parent) _exit(125);
    }
#else
    (void)signalAtParentEnd;
#endif
    return pid;
}

void endChildren(const std::vector<pid_t>& children) {
    for (const pid_t child : children)
        if (child > 0) kill(child, SIGKILL);
    for (const pid_t child : children) {
        if (child <= 0) continue;
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}
