// The run budget: judges at fixed node counts whether the current run is still promising,
// prints the run's progress mark and ends the run when it falls short.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/settings.h"
#include "run/budget_policy.h"
#include "search/search_state.h"

// The budget of the current run.
struct RunBudget {
    // Node count of the next doubling check.
    std::int64_t threshold = firstDoublingCheck;
    // nodeCount at the last checkpoint of this run; 0 before the first.
    std::int64_t checkpointNodes = 0;
    // fullBoards.count at run start or at the last checkpoint.
    std::int64_t fullBoardsAtCheckpoint = 0;
    // The mark the run ended with ("-", "\\", "_", "):", or "" for none), for the benchmark.
    const char* endMark = "";
};
extern RunBudget budget;

// Lowest node count above which any rule of the budget can act, or -1 once a stop is
// requested; below it a check is a single comparison. Read by the run thread, written by a
// signal handler too, so it stays apart from the record.
extern std::atomic<std::int64_t> budgetAttention;

// Set when the user asks the program to stop: the run ends at its next budget check, with
// its statistics saved.
extern std::atomic<bool> stopRequested;
// Asks the current run to stop at its next budget check; safe to call from a signal handler.
void requestRunStop();
// Whether the run must stop now for a stop request or the node limit.
inline bool runStopDue() {
    return stopRequested.load(std::memory_order_relaxed) ||
           search.nodeCount >= settings.runNodeLimit;
}

// Thrown by stopRun to unwind the search to the run thread's entry; nothing in the search
// catches it, so no step undoes anything or places a piece once the run is stopped.
struct RunStopped {};

// Resets the budget for a new run.
void resetRunBudget();
// Runs the four budget rules in order; may end the run through stopRun.
void applyBudgetRules();
// Called after every placement at depths 0 to 119.
[[gnu::always_inline]] inline void checkRunBudget() {
    if (search.nodeCount > budgetAttention.load(std::memory_order_relaxed)) applyBudgetRules();
}
// The depth entered most often among those whose entries the search counts (160 to 170; the
// earlier wins ties), or 0 when none was entered more often than depth 0, that is, more than once.
std::int32_t busiestDeepDepth();
// Ends the run: saves the statistics, restores the candidate lists and unwinds the search.
[[noreturn]] void stopRun();
