#include "tools/groups/harvest.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>

#include "base/program_state.h"
#include "base/random.h"
#include "base/settings.h"
#include "puzzle/candidate_ordering.h"
#include "results/deepest_board.h"
#include "results/full_boards.h"
#include "results/results_state.h"
#include "run/run_budget.h"
#include "run/run_loop.h"
#include "run/run_setup.h"
#include "search/board_geometry.h"
#include "search/search_state.h"
#include "stats/statistics_table.h"
#include "tools/common/child_pool.h"

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
// What is kept of a run's output: a report, or more, which is no report.
constexpr std::size_t reportRoom = sizeof(RunReport) + 1;

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
    seedRandom(program.mainRandom, runSeed(options.seed, run, 0));
    seedRandom(program.groupRandom, runSeed(options.seed, run, 1));
    setup.groupRandomSeeded = true;
    program.settings.runNodeLimit = options.runNodes;
    results.fullBoards.watcher = noteFullBoard;
    const std::int64_t boardsBefore = results.fullBoards.count;
    try {
        performRun();
    } catch (const RunStopped&) {
        // The cap, the budget or the harvest's end stopped the run.
    }
    const RunReport report{search.nodeCount, search.deepestDepth,
                           results.fullBoards.count - boardsBefore, runBest, runDeepestBoard()};
    const bool sent = write(out, &report, sizeof report) == static_cast<ssize_t>(sizeof report);
    _exit(sent ? 0 : 1);
}

class Harvest {
public:
    explicit Harvest(const HarvestOptions& options) : options_(options) {}

    // The runs in order, or nothing with `error` set; `stopSignal` receives a stop signal that
    // ended the harvest.
    std::vector<HarvestRun> perform(std::string& error, int& stopSignal) {
        std::chrono::steady_clock::time_point stoppedAt{};
        bool stopping = false;
        while (pool_.running() > 0 || !stopping) {
            const auto now = std::chrono::steady_clock::now();
            // The time bound counts the runs' CPU time, not the wall time: on a busy machine
            // the harvest takes longer rather than harvesting less.
            const double cpuSeconds = pool_.cpuSeconds();
            if (!stopping &&
                (options_.nodes > 0 ? nodeTotalReached() : cpuSeconds >= options_.seconds)) {
                stopping = true;
                stoppedAt = now;
                // Runs past the node total are not needed; with a time bound, every run still
                // going reports what it has.
                pool_.signalAll(options_.nodes > 0 ? SIGKILL : SIGUSR1);
            }
            if (stopping && now - stoppedAt > lastRunsWait) pool_.signalAll(SIGKILL);
            while (!stopping && static_cast<int>(pool_.running()) < options_.jobs)
                if (!startRun(error)) return endRuns();
            stopSignal = pool_.wait(std::chrono::milliseconds(pollMs));
            if (stopSignal != 0) return endRuns();
            if (!collect(stopping, error)) return endRuns();
            if (options_.progress) showProgress(cpuSeconds);
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
        const int run = nextRun_++;
        const HarvestOptions& options = options_;
        return pool_.start(
            static_cast<std::size_t>(run),
            [run, &options](int output) { performHarvestRun(run, options, output); }, error);
    }

    // Ends the runs still going after a failure or a stop, so that none runs on without the
    // harvest.
    std::vector<HarvestRun> endRuns() {
        pool_.endAll();
        if (options_.progress) std::fprintf(stderr, "\r%-78s\r", "");
        return {};
    }

    // Collects the runs whose processes have ended.
    bool collect(bool stopping, std::string& error) {
        for (const EndedChild& ended : pool_.collect()) {
            const int run = static_cast<int>(ended.tag);
            if (ended.output.size() == sizeof(RunReport)) {
                RunReport report;
                std::memcpy(&report, ended.output.data(), sizeof report);
                finished_[run] = {{report.board, report.depth},
                                  report.nodes,
                                  report.fullBoards,
                                  report.bestMismatches};
            } else if (!stopping || (options_.nodes > 0 && run <= lastNeeded_)) {
                const int status = ended.status;
                error = "harvest run " + std::to_string(run) + " ended without a result" +
                        (WIFSIGNALED(status) ? " (signal " + std::to_string(WTERMSIG(status)) + ")"
                                             : "");
                return false;
            }
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

    void showProgress(double cpuSeconds) {
        int deepest = -1;
        std::int64_t nodes = 0;
        for (const auto& [run, result] : finished_) {
            deepest = std::max(deepest, result.deepest.depth);
            nodes += result.nodes;
        }
        char bound[64];
        if (options_.nodes > 0)
            std::snprintf(bound, sizeof bound, "%.2f G of %.2f G nodes",
                          static_cast<double>(nodes) / nodesPerG,
                          static_cast<double>(options_.nodes) / nodesPerG);
        else
            std::snprintf(bound, sizeof bound, "%.0f of %d CPU seconds", cpuSeconds,
                          options_.seconds);
        std::fprintf(stderr, "\rharvest: %zu runs, deepest depth %d, %s   ", finished_.size(),
                     deepest, bound);
        std::fflush(stderr);
    }

    const HarvestOptions& options_;
    // The stop signal stays blocked in a run's process until it has its handler.
    ChildPool pool_{reportRoom, {SIGUSR1}};
    std::map<int, HarvestRun> finished_;
    int nextRun_ = 0;
    int lastNeeded_ = -1;
};

}  // namespace

std::vector<HarvestRun> harvest(const HarvestOptions& options, std::string& error) {
    // Every run's ordering starts from this one, as a run of the solver after its first does.
    seedRandom(program.mainRandom, runSeed(options.seed, -1, 0));
    reorderCandidateTables();
    program.settings.writeFiles = false;
    setup.groups.rules = StepRules::noGroupsKeepingDeepest;
    int stopSignal = 0;
    std::vector<HarvestRun> runs = Harvest(options).perform(error, stopSignal);
    // The runs have ended and the signal mask is as it was: the stop ends this program as it
    // would have.
    if (stopSignal != 0) raise(stopSignal);
    return runs;
}
