#include "run/run_budget.h"

#include <algorithm>
#include <limits>

#include "base/console.h"
#include "base/settings.h"
#include "puzzle/list_editing.h"
#include "results/full_boards.h"
#include "stats/statistics_file.h"
#include "stats/statistics_report.h"

std::int64_t budgetThreshold = 0;
std::int64_t checkpointNodes = 0;
std::int32_t fullBoardsAtCheckpoint = 0;
std::atomic<std::int64_t> budgetAttention{0};
const char* runEndMark = "";
std::atomic<bool> stopRequested{false};

namespace {

constexpr std::int64_t firstThreshold = 100'000'000;
constexpr int concentrationLimit = 164;
constexpr std::int64_t earlyFailureNodes = 40'000'000;
constexpr std::int64_t noBoardFrom = 4'000'000'000;
constexpr std::int64_t noBoardUntil = 5'000'000'000;
constexpr std::int64_t checkpointDistance = 10'000'000'000;

[[noreturn]] void stopWithMark(const char* mark) {
    runEndMark = mark;
    printOut("%s", mark);
    stopRun();
}

// Rules 2 and 3 can act only at the first call past their node counts: after it, the
// early failure never applies again (deepestReached never falls back to -1 in a run) and
// the no-board rule neither (fullBoardCount only grows and the checkpoint count does not
// move before ten billion nodes). So each counts towards the attention level only until
// it has been passed once.
void updateAttention(std::int64_t n) {
    std::int64_t level = std::min(budgetThreshold, checkpointNodes + checkpointDistance);
    if (n <= earlyFailureNodes) level = std::min(level, earlyFailureNodes);
    if (n <= noBoardFrom) level = std::min(level, noBoardFrom);
    level = std::min(level, settings.runNodeLimit - 1);
    // The flag and the level are written in this order here and in the opposite order by
    // requestRunStop, all sequentially consistent, so a stop request is never overwritten.
    budgetAttention.store(level);
    if (stopRequested.load()) budgetAttention.store(-1);
}

}  // namespace

void requestRunStop() {
    stopRequested.store(true);
    budgetAttention.store(-1);
}

void resetRunBudget() {
    budgetThreshold = firstThreshold;
    checkpointNodes = 0;
    fullBoardsAtCheckpoint = fullBoardCount;
    runEndMark = "";
    updateAttention(0);
}

std::int32_t busiestDeepDepth() {
    std::int32_t busiest = 0;
    for (int d = 158; d <= 170; ++d)
        if (depthVisits[d] > depthVisits[busiest]) busiest = d;
    return busiest;
}

void applyBudgetRules() {
    if (runStopDue()) stopWithMark("");
    const std::int64_t n = nodeCount;
    if (n > budgetThreshold) {
        if (n - checkpointNodes < checkpointDistance && busiestDeepDepth() < concentrationLimit)
            stopWithMark("\\");
        budgetThreshold *= 2;
    }
    if (checkpointNodes == 0 && n > earlyFailureNodes && deepestReached < 0) stopWithMark("-");
    if (n < noBoardUntil && fullBoardCount == fullBoardsAtCheckpoint && n > noBoardFrom)
        stopWithMark("_");
    if (n - checkpointNodes > checkpointDistance) {
        checkpointNodes = n;
        saveStatistics();
        printStatisticsReport();
        if (fullBoardCount <= fullBoardsAtCheckpoint + 5) stopWithMark("):\n");
        if (n > 20'000'000'000) {
            if (fullBoardCount <= fullBoardsAtCheckpoint + 40) stopWithMark("");
            printOut("(:");
            if (n > 50'000'000'000)
                printOut(" x %lld", static_cast<long long>(n / checkpointDistance));
            printOut("\n");
        }
        fullBoardsAtCheckpoint = fullBoardCount;
    }
    updateAttention(n);
}

void stopRun() {
    saveStatistics();
    updateStatistics();
    restoreAll();
    throw RunStopped{};
}
