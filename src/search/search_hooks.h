// What the search calls outside its own layer, and the half of the run budget it checks itself.
// The search checks after its placements whether the run budget may act (one comparison) and
// whether a stop is due; the budget's rules, the handling of a full board and the end of a run
// belong to the layers above, which set their functions in the search's record (search.hooks,
// by installSearchHooks in run/).
#pragma once

#include <atomic>
#include <cstdint>

#include "base/program_state.h"
#include "base/settings.h"
#include "search/search_state.h"

// What the signal handlers and the run loop tell the run thread: atomics, read by the search at
// its budget checks and written from other threads and handlers. A stop request outlives the
// run it ends, so no reset touches them.
struct RunSignals {
    // Lowest node count above which any rule of the budget can act, or -1 once a stop is
    // requested; below it a check is a single comparison.
    std::atomic<std::int64_t> budgetAttention{0};
    // Set when the user asks the program to stop: the run ends at its next budget check, with
    // its statistics saved.
    std::atomic<bool> stopRequested{false};
};
// The one instance.
extern RunSignals runSignals;
// Asks the current run to stop at its next budget check; safe to call from a signal handler.
void requestRunStop();
// Whether the run must stop now for a stop request or the node limit.
inline bool runStopDue() {
    return runSignals.stopRequested.load(std::memory_order_relaxed) ||
           search.nodeCount >= program.settings.runNodeLimit;
}

// Thrown by the end of a run to unwind the search to the run thread's entry; nothing in the
// search catches it, so no step undoes anything or places a piece once the run is stopped.
struct RunStopped {};

// Called after every placement at the depths that check the budget.
[[gnu::always_inline]] inline void checkRunBudget() {
    if (search.nodeCount > runSignals.budgetAttention.load(std::memory_order_relaxed))
        search.hooks.budgetRules();
}
