#include "run/run_budget.h"

#include <algorithm>
#include <limits>

#include "base/console.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "puzzle/list_editing.h"
#include "results/full_boards.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "run/current_run.h"
#include "search/depth_windows.h"
#include "stats/statistics_file.h"
#include "stats/statistics_report.h"

namespace {

[[noreturn]] void endRun(RunEnd end) {
    currentRun.budget.end = end;
    printOut("%s", runEndText(end).mark);
    stopRun();
}

// The end of a run that must stop now: for the user, or at the node limit.
RunEnd stopDueEnd() {
    return runSignals.stopRequested.load() ? RunEnd::stopRequest : RunEnd::nodeLimit;
}

// Rules 2 and 3 can act only at the first call past their node counts: after it, the
// early failure never applies again (deepestReached never falls back to -1 in a run) and
// the no-board rule neither (fullBoardCount only grows and the checkpoint count does not
// move before ten billion nodes). So each counts towards the attention level only until
// it has been passed once.
void updateAttention(std::int64_t n) {
    std::int64_t level = std::min(currentRun.budget.threshold,
                                  currentRun.budget.checkpointNodes + checkpointDistance);
    if (n <= earlyFailureNodes) level = std::min(level, earlyFailureNodes);
    if (n <= noBoardFrom) level = std::min(level, noBoardFrom);
    level = std::min(level, program.settings.runNodeLimit - 1);
    // The flag and the level are written in this order here and in the opposite order by
    // requestRunStop, all sequentially consistent, so a stop request is never overwritten.
    runSignals.budgetAttention.store(level);
    if (runSignals.stopRequested.load()) runSignals.budgetAttention.store(-1);
}

}  // namespace

void resetRunBudget() {
    currentRun.budget = RunBudget{.fullBoardsAtCheckpoint = results.fullBoards.count};
    updateAttention(0);
}

std::int32_t busiestDeepDepth() {
    std::int32_t busiest = 0;
    for (int d = firstCountedVisitDepth; d <= lastCountedVisitDepth; ++d)
        if (search.depthVisits[d] > search.depthVisits[busiest]) busiest = d;
    return busiest;
}

void applyBudgetRules() {
    if (runStopDue()) endRun(stopDueEnd());
    const std::int64_t n = search.nodeCount;
    if (n > currentRun.budget.threshold) {
        if (n - currentRun.budget.checkpointNodes < checkpointDistance &&
            busiestDeepDepth() < concentrationLimit)
            endRun(RunEnd::concentration);
        currentRun.budget.threshold *= 2;
    }
    if (currentRun.budget.checkpointNodes == 0 && n > earlyFailureNodes &&
        search.deepestReached < 0)
        endRun(RunEnd::earlyFailure);
    if (n < noBoardUntil && results.fullBoards.count == currentRun.budget.fullBoardsAtCheckpoint &&
        n > noBoardFrom)
        endRun(RunEnd::noBoard);
    if (n - currentRun.budget.checkpointNodes > checkpointDistance) {
        currentRun.budget.checkpointNodes = n;
        saveStatistics();
        printStatisticsReport();
        if (results.fullBoards.count <=
            currentRun.budget.fullBoardsAtCheckpoint + boardsPerCheckpoint)
            endRun(RunEnd::fewBoards);
        if (n > longRunNodes) {
            if (results.fullBoards.count <=
                currentRun.budget.fullBoardsAtCheckpoint + boardsPerLongCheckpoint)
                endRun(RunEnd::fewBoardsLate);
            printOut("(:");
            if (n > veryLongRunNodes)
                printOut(" x %lld", static_cast<long long>(n / checkpointDistance));
            printOut("\n");
        }
        currentRun.budget.fullBoardsAtCheckpoint = results.fullBoards.count;
    }
    updateAttention(n);
}

void stopRun() {
    // The search's own stop check (in the last squares) ends a run without a mark.
    if (currentRun.budget.end == RunEnd::running) currentRun.budget.end = stopDueEnd();
    runStatistics.endedRunDepth = deepestPlacedDepth();
    saveStatistics();
    updateStatistics();
    restoreAll();
    throw RunStopped{};
}
