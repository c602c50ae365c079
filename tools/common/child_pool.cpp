#include "tools/common/child_pool.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "base/child_processes.h"
#include "base/stop_signals.h"

ChildPool::ChildPool(std::size_t longestOutput, std::initializer_list<int> keptBlocked)
    : longestOutput_(longestOutput) {
    sigemptyset(&waited_);
    sigaddset(&waited_, SIGCHLD);
    // A stop signal that the user's shell has set to be ignored stays ignored.
    for (const int signal : stopSignalNumbers) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&waited_, signal);
    }
    sigemptyset(&kept_);
    for (const int signal : keptBlocked)
        sigaddset(&kept_, signal);
    sigprocmask(SIG_BLOCK, &waited_, &outside_);
}

ChildPool::~ChildPool() {
    endAll();
    sigprocmask(SIG_SETMASK, &outside_, nullptr);
}

bool ChildPool::start(std::size_t tag, const std::function<void(int output)>& body,
                      std::string& error) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    // The signals kept blocked stay so from the fork on, until the child's body lets them in.
    sigset_t before, inChild = outside_;
    sigprocmask(SIG_BLOCK, &kept_, &before);
    for (int signal = 1; signal < NSIG; ++signal)
        if (sigismember(&kept_, signal) == 1) sigaddset(&inChild, signal);
    std::fflush(nullptr);
    // A child ends with this program, however it ends.
    const pid_t pid = forkBoundChild(SIGKILL);
    if (pid == 0) {
        close(ends[0]);
        for (const auto& [other, child] : children_)
            close(child.pipe);
        sigprocmask(SIG_SETMASK, &inChild, nullptr);
        body(ends[1]);
        _exit(127);
    }
    const int forkError = errno;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        error = std::string("cannot start a process: ") + std::strerror(forkError);
        return false;
    }
    // Read without waiting: a child may write in pieces, and the end of its pipe shows once it
    // has ended.
    fcntl(ends[0], F_SETFL, O_NONBLOCK);
    children_[pid] = {tag, ends[0], {}};
    return true;
}

void ChildPool::signalAll(int signal) const {
    for (const auto& [pid, child] : children_)
        kill(pid, signal);
}

void ChildPool::drain(Child& child) const {
    char buffer[4096];
    // What passes the longest output is read and dropped, so that no child waits on a full pipe.
    for (ssize_t n; (n = read(child.pipe, buffer, sizeof buffer)) > 0;) {
        const std::size_t room = longestOutput_ - std::min(longestOutput_, child.output.size());
        child.output.append(buffer, std::min(static_cast<std::size_t>(n), room));
    }
}

int ChildPool::wait(std::chrono::milliseconds timeout) {
    for (auto& [pid, child] : children_)
        drain(child);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
    const timespec span{static_cast<time_t>(seconds.count()),
                        static_cast<long>((timeout - seconds).count() * 1'000'000)};
    siginfo_t info;
    const int signal = sigtimedwait(&waited_, &info, &span);
    return signal > 0 && signal != SIGCHLD ? signal : 0;
}

std::vector<EndedChild> ChildPool::collect() {
    std::vector<EndedChild> ended;
    for (auto it = children_.begin(); it != children_.end();) {
        int status = 0;
        rusage usage{};
        if (wait4(it->first, &status, WNOHANG, &usage) != it->first) {
            ++it;
            continue;
        }
        collectedCpuSeconds_ += usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 +
                                usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
        // The process has ended, so the pipe holds the rest of what it wrote and then its end.
        Child& child = it->second;
        drain(child);
        close(child.pipe);
        ended.push_back({child.tag, status, std::move(child.output)});
        it = children_.erase(it);
    }
    return ended;
}

double ChildPool::cpuSeconds() const {
    double seconds = collectedCpuSeconds_;
    for (const auto& [pid, child] : children_) {
        // A child's CPU clock, read while it runs; once it has ended, its usage when collected.
        clockid_t clock{};
        timespec used{};
        if (clock_getcpuclockid(pid, &clock) == 0 && clock_gettime(clock, &used) == 0)
            seconds += used.tv_sec + used.tv_nsec / 1e9;
    }
    return seconds;
}

void ChildPool::endAll() {
    std::vector<pid_t> pids;
    for (const auto& [pid, child] : children_) {
        pids.push_back(pid);
        close(child.pipe);
    }
    endChildren(pids);
    children_.clear();
}
