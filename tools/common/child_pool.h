// A pool of child processes that a companion runs a few at a time (the harvest's runs, a
// sweep's benchmarks): each reports through a pipe, is collected with all it wrote once it has
// ended, and ends with the program that started it however that ends. Ended children and stop
// signals are taken in turn (sigtimedwait) rather than by handlers, so that a stop can end the
// children before the program ends.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

// A child that has ended.
struct EndedChild {
    std::size_t tag;     // as given to start
    int status;          // as waitpid gives it
    std::string output;  // all it wrote into its pipe, up to the pool's longest output
};

class ChildPool {
public:
    // Blocks SIGCHLD and the stop signals that are not ignored until the pool ends. `keptBlocked`
    // stay blocked in a child until its body unblocks them, once it handles them.
    explicit ChildPool(std::size_t longestOutput, std::initializer_list<int> keptBlocked = {});
    // Ends every child still running (endChildren) and restores the signal mask.
    ~ChildPool();
    ChildPool(const ChildPool&) = delete;
    ChildPool& operator=(const ChildPool&) = delete;

    // Starts a child tagged `tag`: in a forked process, with the signal mask the program had but
    // `keptBlocked`, `body` runs with the write end of the child's pipe and must end the process
    // (_exit, or an exec). False, with `error` set, when no pipe or process could be made.
    bool start(std::size_t tag, const std::function<void(int output)>& body, std::string& error);
    // The children running.
    std::size_t running() const { return children_.size(); }
    // Sends `signal` to every child running.
    void signalAll(int signal) const;
    // Waits up to `timeout` for a child to end or a stop signal; the stop signal, or 0.
    int wait(std::chrono::milliseconds timeout);
    // The children that have ended since the last call, in the order of their process ids.
    std::vector<EndedChild> collect();
    // The CPU seconds its children have used, of those collected and of those running: what a
    // pool's work has cost, whatever else the machine runs meanwhile.
    double cpuSeconds() const;
    // Ends every child still running and waits for each, so that none runs on after a failure.
    void endAll();

private:
    struct Child {
        std::size_t tag;
        int pipe;  // the read end
        std::string output;
    };
    void drain(Child& child) const;

    std::size_t longestOutput_;
    sigset_t waited_;   // SIGCHLD and the stop signals taken
    sigset_t outside_;  // the mask the program had
    sigset_t kept_;     // the signals kept blocked into a child's body
    std::map<pid_t, Child> children_;
    double collectedCpuSeconds_ = 0;
};
