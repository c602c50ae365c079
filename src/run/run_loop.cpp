#include "run/run_loop.h"

#include <dirent.h>
#include <pthread.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>

#include "base/clocks.h"
#include "base/console.h"
#include "base/guarded_saves.h"
#include "base/program_state.h"
#include "base/random.h"
#include "base/settings.h"
#include "base/stop_signals.h"
#include "puzzle/candidate_ordering.h"
#include "puzzle/list_editing.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "results/board_files.h"
#include "results/deepest_board.h"
#include "results/statistics_records.h"
#include "run/resets.h"
#include "run/run_budget.h"
#include "run/run_setup.h"
#include "run/startup.h"
#include "search/board_geometry.h"
#include "search/depth_steps.h"
#include "search/search_options.h"
#include "search/search_state.h"
#include "stats/statistics_file.h"
#include "stats/statistics_report.h"

namespace {

// 0 while a run is active; set to 1 by the run thread when its run is over.
std::atomic<std::int32_t> runFinished{0};

constexpr int lowestPriority = 19;

std::atomic<std::int64_t> firstStopMs{0};
static_assert(std::atomic<std::int64_t>::is_always_lock_free, "used in a signal handler");

// A run that ends by itself after fewer nodes than this did next to nothing (a board file
// that leaves no legal move ends every run at once); the next run waits until a second has
// passed since it started, so the program does not start thousands of runs a second.
constexpr std::int64_t idleRunNodes = 1000;
constexpr std::int32_t idleRunMs = 1000;
constexpr auto idleWaitStep = std::chrono::milliseconds(20);

// SIGINT and SIGTERM: the first asks the run to end at its next budget check, with its
// statistics saved; a second one, a second or more later, ends the program at once, unless
// it comes while an announced board is being saved: then the program ends when the board is
// on the disk, with its statistics saved.
void requestStop(int signalNumber) {
    const std::int64_t now = monotonicMs();
    if (runSignals.stopRequested.load()) {
        if (isSameStop(firstStopMs.load(), now) || holdEndDuringGuardedSave()) return;
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
    }
    firstStopMs.store(now);
    requestRunStop();
}

void idleKeeper() {
    for (int i = 0; i < 20; ++i) {
        setIdlePriority();
        std::this_thread::sleep_for(std::chrono::milliseconds(5000));
    }
}

// Starts a detached thread running `body`; a thread that cannot be started is tried again
// every second, since the program has nothing else to do.
template <typename Body>
void startThread(Body body) {
    for (;;) {
        try {
            std::thread(body).detach();
            return;
        } catch (const std::system_error& error) {
            printErr("Cannot start a thread: %s\n", error.what());
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        }
    }
}

}  // namespace

[[noreturn]] void endAfterStop() {
    printStatisticsReport();
    // The run's end saved the statistics last; say so only if that save succeeded.
    if (statisticsFile.saveFailed) {
        printErr("Stopped; the statistics could not be saved in %s\n",
                 program.settings.workingDirectory);
        std::fflush(nullptr);
        std::_Exit(1);
    }
    printOut("Stopped; the statistics are saved in %s\n", program.settings.workingDirectory);
    std::fflush(nullptr);
    std::_Exit(0);
}

void catchStopSignals() {
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    // A closed terminal stops the search as Ctrl-C does; under nohup SIGHUP stays ignored.
    struct sigaction hangUp {};
    if (sigaction(SIGHUP, nullptr, &hangUp) == 0 && hangUp.sa_handler != SIG_IGN)
        std::signal(SIGHUP, requestStop);
    // A stop that came while whoever started the solver had the signals blocked is taken now.
    const sigset_t signals = stopSignalSet();
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    // Output into a pipe whose reader has gone (tessaly | head) fails with EPIPE instead of
    // killing the program, and asks for a stop like a signal: the statistics are saved.
    std::signal(SIGPIPE, SIG_IGN);
    process.onOutputGone = requestRunStop;
}

void saveStatisticsAtEnds() {
    // From now on an end in the middle of a run saves what the run has counted.
    process.saveStatistics = saveStatistics;
    process.endStopped = endAfterStop;
}

void setIdlePriority() {
    // On Linux the nice value belongs to each thread, so every thread is lowered; new
    // threads inherit the value of the thread that starts them.
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) {
        setpriority(PRIO_PROCESS, 0, lowestPriority);
        return;
    }
    while (const dirent* task = readdir(tasks)) {
        const int id = std::atoi(task->d_name);
        if (id > 0) setpriority(PRIO_PROCESS, static_cast<id_t>(id), lowestPriority);
    }
    closedir(tasks);
}

void performRun() {
    // A clean board with every piece free, no counts, no edits and a fresh budget.
    resetRun();
    runStatistics.startClock = programClockMs();
    chooseGroupAndColours();
    startRunOptions(setup.groups.options);
    reorderCandidateTables();
    if (program.settings.boardPath[0] != '\0') {
        printOut("loading %s\n", program.settings.boardPath);
        loadBoard();
    }
    search.board[hintSlot] = rotate(2, puzzle.pieceCodes[hintPiece]);
    search.pieceFree[hintPiece] = 0;
    search.startBoard = search.board;
    armDeepestBoard();
    searchFromStart(setup.groups.rules);
    // A search that ends before its depth-80 step ever restored the lists leaves the
    // removals of a loaded board on the undo stacks; the next run needs whole lists.
    restoreAll();
    // The whole space of the run has been tried: its nodes and boards count like any other.
    runStatistics.endedRunDepth = deepestPlacedDepth();
    saveStatistics();
    updateStatistics();
}

void runThreadMain() {
    setIdlePriority();
    try {
        performRun();
    } catch (const RunStopped&) {
        // The budget ended the run; the lists are already restored.
    }
    runFinished.store(1);
    runFinished.notify_one();
}

void runForever() {
    setIdlePriority();
    seedRandom(program.mainRandom, chosenMainSeed());
    startThread(idleKeeper);
    for (;;) {
        runFinished.store(0);
        startThread(runThreadMain);
        // Woken as soon as the run thread sets the flag, so the next run starts at once.
        runFinished.wait(0);
        if (search.nodeCount < idleRunNodes)
            while (!runSignals.stopRequested.load() &&
                   programClockMs() - runStatistics.startClock < idleRunMs)
                std::this_thread::sleep_for(idleWaitStep);
        if (runSignals.stopRequested.load()) endAfterStop();
    }
}
