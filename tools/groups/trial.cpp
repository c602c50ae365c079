#include "tools/groups/trial.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>

#include "base/child_processes.h"
#include "base/program_info.h"
#include "base/stop_signals.h"
#include "base/whole_files.h"
#include "run/groups_file.h"

namespace {

// A benchmark prints a few short lines; a longer output is cut here and fails to read.
constexpr std::size_t longestOutput = 1 << 16;

// One benchmark of the trial: a candidate (its place in `candidates`) on a seed pair.
struct Job {
    int candidate;
    int pair;
};

std::string jobText(const Job& job, const SeedPair& seeds) {
    return std::string("tessaly-bench on the ") + candidateName(candidates[job.candidate]) +
           " with the seeds " + std::to_string(seeds.main) + "," + std::to_string(seeds.group);
}

// The figures of the benchmark's summary lines: nodes, full boards, best score, median depth.
bool readFigures(const std::string& output, BenchFigures& figures) {
    int found = 0;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(start, end - start);
        start = end + 1;
        const int length = static_cast<int>(line.size());
        long long nodes = 0;
        int n = 0;
        if (std::sscanf(line.c_str(), "nodes %lld%n", &nodes, &n) == 1 && n == length) {
            figures.nodes = nodes;
            ++found;
        } else if (std::sscanf(line.c_str(), "full boards %d%n", &figures.fullBoards, &n) == 1 &&
                   n == length) {
            ++found;
        } else if (std::sscanf(line.c_str(), "best score %d%n", &figures.bestScore, &n) == 1 &&
                   n == length) {
            ++found;
        } else if (std::sscanf(line.c_str(), "median depth %lf%n", &figures.medianDepth, &n) == 1 &&
                   n == length) {
            ++found;
        }
    }
    return found == 4;
}

double secondsOf(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// The benchmarks running, started and ended in this one place. Each is a child process bound to
// this program (forkBoundChild); `endAll` ends the rest when the trial stops early.
class Benches {
public:
    explicit Benches(const sigset_t& outside) : outside_(outside) {}
    ~Benches() { endAll(); }

    std::size_t count() const { return running_.size(); }

    // Starts `arguments` (the program first) with its standard output read back here.
    bool start(const std::vector<std::string>& arguments, const Job& job, std::string& error) {
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            error = std::string("cannot make a pipe: ") + std::strerror(errno);
            return false;
        }
        std::fflush(nullptr);
        // A benchmark ends with this program, however it ends.
        const pid_t pid = forkBoundChild(SIGKILL);
        if (pid == 0) {
            sigprocmask(SIG_SETMASK, &outside_, nullptr);
            dup2(ends[1], STDOUT_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(ends[1]);
        if (pid < 0) {
            close(ends[0]);
            error = std::string("cannot start a process: ") + std::strerror(errno);
            return false;
        }
        running_[pid] = {job, ends[0]};
        return true;
    }

    // Hands every benchmark that has ended to `ended(job, status, output, cpuSeconds)`.
    template <class Ended>
    void collect(Ended ended) {
        for (auto it = running_.begin(); it != running_.end();) {
            int status = 0;
            rusage usage{};
            if (wait4(it->first, &status, WNOHANG, &usage) != it->first) {
                ++it;
                continue;
            }
            // The process has ended, so the pipe holds all it wrote and then its end.
            std::string output;
            char buffer[4096];
            for (ssize_t n; output.size() < longestOutput &&
                            (n = read(it->second.output, buffer, sizeof buffer)) > 0;)
                output.append(buffer, static_cast<std::size_t>(n));
            close(it->second.output);
            const Job job = it->second.job;
            it = running_.erase(it);
            ended(job, status, output, secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime));
        }
    }

    void endAll() {
        std::vector<pid_t> pids;
        for (const auto& [pid, bench] : running_) {
            pids.push_back(pid);
            close(bench.output);
        }
        endChildren(pids);
        running_.clear();
    }

private:
    struct Running {
        Job job;
        int output;
    };
    sigset_t outside_;
    std::map<pid_t, Running> running_;
};

}  // namespace

std::array<SeedPair, trialSeedPairCount> trialSeedPairs(std::uint32_t seed) {
    std::array<SeedPair, trialSeedPairCount> pairs{};
    for (std::uint32_t k = 0; k < pairs.size(); ++k)
        pairs[k] = {1000 * seed + 2 * k + 1, 1000 * seed + 2 * k + 2};
    return pairs;
}

std::string benchBesideThisProgram() {
    const std::filesystem::path directory = programDirectory();
    if (directory.empty()) return {};
    const std::string bench = (directory / "tessaly-bench").string();
    return access(bench.c_str(), X_OK) == 0 ? bench : std::string();
}

std::array<std::vector<BenchFigures>, 3> runTrial(const std::string& bench,
                                                  const std::string& derivedText,
                                                  const TrialOptions& options, std::string& error) {
    std::array<std::vector<BenchFigures>, 3> figures;
    for (std::vector<BenchFigures>& candidate : figures)
        candidate.resize(trialSeedPairCount);
    const auto pairs = trialSeedPairs(options.seed);

    // The derived groups go to a directory of this process's own, for the benchmarks to read.
    std::error_code fault;
    std::string directory =
        (std::filesystem::temp_directory_path(fault) / "tessaly-groups.XXXXXX").string();
    if (fault || mkdtemp(directory.data()) == nullptr) {
        error = "cannot make a temporary directory: " +
                (fault ? fault.message() : std::string(std::strerror(errno)));
        return {};
    }
    const std::string derivedPath = directory + "/" + groupsFileName;
    if (const int written =
            writeWholeFile(derivedPath.c_str(), derivedText, Existing::keep, false)) {
        rmdir(directory.c_str());
        error = "cannot write " + derivedPath + ": " + std::strerror(written);
        return {};
    }

    // Ended benchmarks and stop signals are taken in turn below, not by handlers; a stop signal
    // that the user's shell has set to be ignored stays ignored.
    sigset_t waited, outside;
    sigemptyset(&waited);
    sigaddset(&waited, SIGCHLD);
    for (const int signal : stopSignalNumbers) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&waited, signal);
    }
    sigprocmask(SIG_BLOCK, &waited, &outside);

    std::vector<Job> jobs;
    for (int c = 0; c < static_cast<int>(candidates.size()); ++c)
        for (int p = 0; p < trialSeedPairCount; ++p)
            jobs.push_back({c, p});
    const auto arguments = [&](const Job& job) {
        std::vector<std::string> list = {bench};
        if (candidates[job.candidate] == Candidate::derived)
            list.insert(list.end(), {"--groups", derivedPath});
        if (candidates[job.candidate] == Candidate::off) list.push_back("--no-group-rules");
        const SeedPair& seeds = pairs[job.pair];
        list.insert(list.end(), {"--nodes", std::to_string(options.nodes), "--seeds",
                                 std::to_string(seeds.main) + "," + std::to_string(seeds.group),
                                 "k7pieces.txt"});
        return list;
    };
    std::size_t started = 0, ended = 0;
    int stopSignal = 0;
    {
        Benches benches(outside);
        while (ended < jobs.size()) {
            while (error.empty() && started < jobs.size() &&
                   static_cast<int>(benches.count()) < options.jobs) {
                if (!benches.start(arguments(jobs[started]), jobs[started], error)) break;
                ++started;
            }
            benches.collect([&](const Job& job, int status, const std::string& output,
                                double cpuSeconds) {
                ++ended;
                BenchFigures& result = figures[job.candidate][job.pair];
                if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && readFigures(output, result)) {
                    result.cpuSeconds = cpuSeconds;
                    return;
                }
                if (!error.empty()) return;
                error =
                    jobText(job, pairs[job.pair]) +
                    (WIFSIGNALED(status) ? " ended by signal " + std::to_string(WTERMSIG(status))
                     : WEXITSTATUS(status) != 0
                         ? " ended with status " + std::to_string(WEXITSTATUS(status))
                         : std::string(" printed no figures"));
            });
            if (options.progress)
                std::fprintf(stderr, "\rtrial: %zu of %zu benchmarks done   ", ended, jobs.size());
            if (!error.empty() || ended == jobs.size()) break;
            timespec second{1, 0};
            siginfo_t info;
            const int signal = sigtimedwait(&waited, &info, &second);
            if (signal > 0 && signal != SIGCHLD) {
                stopSignal = signal;
                error = std::string("stopped by ") + strsignal(signal);
                break;
            }
        }
        if (options.progress) std::fprintf(stderr, "\r%-78s\r", "");
    }  // the benchmarks still running end here
    unlink(derivedPath.c_str());
    rmdir(directory.c_str());
    sigprocmask(SIG_SETMASK, &outside, nullptr);
    // A stop ends this program as the signal would have, now that nothing is left behind.
    if (stopSignal != 0) raise(stopSignal);
    return figures;
}
