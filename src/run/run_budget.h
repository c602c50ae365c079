// The run budget: judges at fixed node counts whether the current run is still promising,
// prints the run's progress mark and ends the run when it falls short.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/settings.h"
#include "search/search_state.h"

// Node count of the next doubling check.
extern std::int64_t budgetThreshold;
// nodeCount at the last checkpoint of this run; 0 before the first.
extern std::int64_t checkpointNodes;
// fullBoardCount at run start or at the last checkpoint.
extern std::int32_t fullBoardsAtCheckpoint;
// Lowest node count above which any rule of the budget can act, or -1 once a stop is
// requested; below it a check is a single comparison.
extern std::atomic<std::int64_t> budgetAttention;
// The mark the run ended with ("-", "\\", "_", "):", or "" for none), for the benchmark.
extern const char* runEndMark;

// Set when the user asks the program to stop: the run ends at its next budget check, with
// its statistics saved.
extern std::atomic<bool> stopRequested;
// Asks the current run to stop at its next budget check; safe to call from a signal handler.
void requestRunStop();
// Whether the run must stop now for a stop request or the node limit.
inline bool runStopDue() {
    return stopRequested.load(std::memory_order_relaxed) || nodeCount >= settings.runNodeLimit;
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
    if (nodeCount > budgetAttention.load(std::memory_order_relaxed)) applyBudgetRules();
}
// The depth among 158..170 entered most often (the earlier wins ties), or 0.
std::int32_t busiestDeepDepth();
// Ends the run: saves the statistics, restores the candidate lists and unwinds the search.
[[noreturn]] void stopRun();
