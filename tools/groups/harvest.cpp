#include "tools/groups/harvest.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>

#include "base/child_processes.h"
#include "base/random.h"
#include "base/settings.h"
#include "puzzle/candidate_ordering.h"
#include "results/full_boards.h"
#include "run/run_budget.h"
#include "run/run_loop.h"
#include "run/run_setup.h"
#include "search/board_geometry.h"
#include "search/search_state.h"

namespace {

// A stopped harvest waits this long for its last runs to report, then ends them.
constexpr auto lastRunsWait = std::chrono::seconds(10);
constexpr int pollMs = 200;

// What a run sends back through its pipe, in one write.
struct RunReport {
    std::int64_t nodes;
    std::int32_t depth;
    std::int64_t fullBoards;
    std::int32_t bestMismatches;
    std::array<PieceCode, 256> board;
};
static_assert(sizeof(RunReport) <= PIPE_BUF, "a report reaches the pipe in one piece");

// A seed of its own for every run and generator, mixed so that near seeds draw apart.
std::uint32_t runSeed(std::uint32_t seed, int run, int generator) {
    std::uint64_t z = (std::uint64_t{seed} << 32 | static_cast<std::uint32_t>(run)) * 2 + generator;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>(z ^ (z >> 31));
}

std::int32_t runBest = mismatchSlots;

void noteFullBoard() {
    runBest = std::min(runBest, search.mismatchCount);
}

void stopOnSignal(int) {
    requestRunStop();
}

// The body of a run's process: one run, its report, the end.
[[noreturn]] void performHarvestRun(int run, const HarvestOptions& options, int out) {
    std::signal(SIGUSR1, stopOnSignal);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGUSR1);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
    seedRandom(mainRandom, runSeed(options.seed, run, 0));
    seedRandom(groupRandom, runSeed(options.seed, run, 1));
    setup.groupRandomSeeded = true;
    settings.runNodeLimit = options.runNodes;
    fullBoards.watcher = noteFullBoard;
    const std::int64_t boardsBefore = fullBoards.count;
    try {
        performRun();
    } catch (const RunStopped&) {
        // The cap, the budget or the harvest's end stopped the run.
    }
    RunReport report{
        search.nodeCount, search.deepestDepth, fullBoards.count - boardsBefore, runBest, {}};
    report.board.fill(emptyCode);
    for (int d = 0; d <= search.deepestDepth; ++d)
        report.board[fillOrder[d]] = search.deepestBoard[fillOrder[d]];
    report.board[hintSlot] = search.deepestBoard[hintSlot];
    const bool sent = write(out, &report, sizeof report) == static_cast<ssize_t>(sizeof report);
    _exit(sent ? 0 : 1);
}

struct RunningRun {
    int run;
    int pipe;
    std::string received;
};

class Harvest {
public:
    explicit Harvest(const HarvestOptions& options) : options_(options) {}

    std::vector<HarvestRun> perform(std::string& error) {
        const auto start = std::chrono::steady_clock::now();
        const auto deadline = start + std::chrono::seconds(options_.seconds);
        std::chrono::steady_clock::time_point stoppedAt{};
        bool stopping = false;
        while (!running_.empty() || !stopping) {
            const auto now = std::chrono::steady_clock::now();
            if (!stopping && (options_.nodes > 0 ? nodeTotalReached() : now >= deadline)) {
                stopping = true;
                stoppedAt = now;
                // Runs past the node total are not needed; with a time bound, every run still
                // going reports what it has.
                for (const auto& [pid, running] : running_)
                    kill(pid, options_.nodes > 0 ? SIGKILL : SIGUSR1);
            }
            if (stopping && now - stoppedAt > lastRunsWait)
                for (const auto& [pid, running] : running_)
                    kill(pid, SIGKILL);
            while (!stopping && static_cast<int>(running_.size()) < options_.jobs)
                if (!startRun(error)) return endRuns();
            receive();
            if (!reap(stopping, error)) return endRuns();
            if (options_.progress) showProgress(now - start);
        }
        if (options_.progress) std::fprintf(stderr, "\r%-78s\r", "");
        std::vector<HarvestRun> runs;
        for (auto& [run, result] : finished_) {
            if (options_.nodes > 0 && run > lastNeeded_) break;
            runs.push_back(result);
        }
        return runs;
    }

private:
    bool startRun(std::string& error) {
        int ends[2];
        if (pipe(ends) != 0) {
            error = std::string("cannot make a pipe: ") + std::strerror(errno);
            return false;
        }
        // The stop signal stays blocked until the run's process has its handler.
        sigset_t stop, previous;
        sigemptyset(&stop);
        sigaddset(&stop, SIGUSR1);
        sigprocmask(SIG_BLOCK, &stop, &previous);
        std::fflush(nullptr);
        // A run ends with the harvest, however the harvest ends.
        const pid_t pid = forkBoundChild(SIGKILL);
        if (pid == 0) {
            close(ends[0]);
            for (const auto& [other, running] : running_)
                close(running.pipe);
            performHarvestRun(nextRun_, options_, ends[1]);
        }
        sigprocmask(SIG_SETMASK, &previous, nullptr);
        close(ends[1]);
        // Read without waiting: a report may come in pieces, and the end of the pipe shows
        // once the run's process has ended.
        fcntl(ends[0], F_SETFL, O_NONBLOCK);
        if (pid < 0) {
            close(ends[0]);
            error = std::string("cannot start a process: ") + std::strerror(errno);
            return false;
        }
        running_[pid] = {nextRun_++, ends[0], {}};
        return true;
    }

    // Ends the runs still going after a failure, so that none runs on without the harvest.
    std::vector<HarvestRun> endRuns() {
        std::vector<pid_t> pids;
        for (const auto& [pid, running] : running_) {
            pids.push_back(pid);
            close(running.pipe);
        }
        endChildren(pids);
        running_.clear();
        return {};
    }

    // Reads what the runs have sent, waiting a little for the first of it.
    void receive() {
        std::vector<pollfd> waiting;
        for (const auto& [pid, running] : running_)
            waiting.push_back({running.pipe, POLLIN, 0});
        if (waiting.empty() || poll(waiting.data(), waiting.size(), pollMs) <= 0) return;
        for (auto& [pid, running] : running_)
            drain(running);
    }

    static void drain(RunningRun& running) {
        char buffer[sizeof(RunReport)];
        for (ssize_t n; (n = read(running.pipe, buffer, sizeof buffer)) > 0;)
            running.received.append(buffer, static_cast<std::size_t>(n));
    }

    // Collects the runs whose processes have ended.
    bool reap(bool stopping, std::string& error) {
        for (auto it = running_.begin(); it != running_.end();) {
            int status = 0;
            if (waitpid(it->first, &status, WNOHANG) != it->first) {
                ++it;
                continue;
            }
            RunningRun& running = it->second;
            // Whatever the process wrote before it ended is still in the pipe.
            drain(running);
            close(running.pipe);
            if (running.received.size() == sizeof(RunReport)) {
                RunReport report;
                std::memcpy(&report, running.received.data(), sizeof report);
                finished_[running.run] = {{report.board, report.depth},
                                          report.nodes,
                                          report.fullBoards,
                                          report.bestMismatches};
            } else if (!stopping || (options_.nodes > 0 && running.run <= lastNeeded_)) {
                error = "harvest run " + std::to_string(running.run) + " ended without a result" +
                        (WIFSIGNALED(status) ? " (signal " + std::to_string(WTERMSIG(status)) + ")"
                                             : "");
                running_.erase(it);
                return false;
            }
            it = running_.erase(it);
        }
        return true;
    }

    // Whether the runs from 0 on that have ended reach the node total; the last one needed is
    // then known.
    bool nodeTotalReached() {
        std::int64_t total = 0;
        int run = 0;
        for (auto it = finished_.find(0); it != finished_.end(); it = finished_.find(++run)) {
            total += it->second.nodes;
            if (total >= options_.nodes) {
                lastNeeded_ = run;
                return true;
            }
        }
        return false;
    }

    void showProgress(std::chrono::steady_clock::duration elapsed) {
        int deepest = -1;
        std::int64_t nodes = 0;
        for (const auto& [run, result] : finished_) {
            deepest = std::max(deepest, result.deepest.depth);
            nodes += result.nodes;
        }
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
        char bound[64];
        if (options_.nodes > 0)
            std::snprintf(bound, sizeof bound, "%.2f G of %.2f G nodes", nodes / 1e9,
                          options_.nodes / 1e9);
        else
            std::snprintf(bound, sizeof bound, "%lld s of %d s", static_cast<long long>(seconds),
                          options_.seconds);
        std::fprintf(stderr, "\rharvest: %zu runs, deepest depth %d, %s   ", finished_.size(),
                     deepest, bound);
        std::fflush(stderr);
    }

    const HarvestOptions& options_;
    std::map<pid_t, RunningRun> running_;
    std::map<int, HarvestRun> finished_;
    int nextRun_ = 0;
    int lastNeeded_ = -1;
};

}  // namespace

std::vector<HarvestRun> harvest(const HarvestOptions& options, std::string& error) {
    // Every run's ordering starts from this one, as a run of the solver after its first does.
    seedRandom(mainRandom, runSeed(options.seed, -1, 0));
    reorderCandidateTables();
    settings.writeFiles = false;
    setup.groups.rules = StepRules::noGroupsKeepingDeepest;
    return Harvest(options).perform(error);
}
