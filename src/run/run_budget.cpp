#include "run/run_budget.h"

#include <algorithm>
#include <limits>

#include "base/console.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "puzzle/list_editing.h"
#include "results/full_boards.h"
#include "results/statistics_records.h"
#include "search/depth_windows.h"
#include "stats/statistics_file.h"
#include "stats/statistics_report.h"

RunBudget budget;

namespace {

[[noreturn]] void endRun(RunEnd end) {
    budget.end = end;
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
    std::int64_t level = std::min(budget.threshold, budget.checkpointNodes + checkpointDistance);
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
    budget = RunBudget{.fullBoardsAtCheckpoint = fullBoards.count};
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
    if (n > budget.threshold) {
        if (n - budget.checkpointNodes < checkpointDistance &&
            busiestDeepDepth() < concentrationLimit)
            endRun(RunEnd::concentration);
        budget.threshold *= 2;
    }
    if (budget.checkpointNodes == 0 && n > earlyFailureNodes && search.deepestReached < 0)
        endRun(RunEnd::earlyFailure);
    if (n < noBoardUntil && fullBoards.count == budget.fullBoardsAtCheckpoint && n > noBoardFrom)
        endRun(RunEnd::noBoard);
    if (n - budget.checkpointNodes > checkpointDistance) {
        budget.checkpointNodes = n;
        saveStatistics();
        printStatisticsReport();
        if (fullBoards.count <= budget.fullBoardsAtCheckpoint + boardsPerCheckpoint)
            endRun(RunEnd::fewBoards);
        if (n > longRunNodes) {
            if (fullBoards.count <= budget.fullBoardsAtCheckpoint + boardsPerLongCheckpoint)
                endRun(RunEnd::fewBoardsLate);
            printOut("(:");
            if (n > veryLongRunNodes)
                printOut(" x %lld", static_cast<long long>(n / checkpointDistance));
            printOut("\n");
        }
        budget.fullBoardsAtCheckpoint = fullBoards.count;
    }
    updateAttention(n);
}

void stopRun() {
    // The search's own stop check (in the last squares) ends a run without a mark.
    if (budget.end == RunEnd::running) budget.end = stopDueEnd();
    runStatistics.endedRunDepth = deepestPlacedDepth();
    saveStatistics();
    updateStatistics();
    restoreAll();
    throw RunStopped{};
}
