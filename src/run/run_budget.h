// The run budget: judges at fixed node counts whether the current run is still promising,
// prints the run's progress mark and ends the run when it falls short.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/settings.h"
#include "run/budget_policy.h"
#include "run/run_ends.h"
#include "search/search_hooks.h"
#include "search/search_state.h"

// The budget of the current run.
struct RunBudget {
    // Node count of the next doubling check.
    std::int64_t threshold = firstDoublingCheck;
    // nodeCount at the last checkpoint of this run; 0 before the first.
    std::int64_t checkpointNodes = 0;
    // fullBoards.count at run start or at the last checkpoint.
    std::int64_t fullBoardsAtCheckpoint = 0;
    // How the run ended.
    RunEnd end = RunEnd::running;
};

// Resets the budget for a new run.
void resetRunBudget();
// Runs the four budget rules in order; may end the run through stopRun. The search calls it
// through search.hooks when its check finds the node count past runSignals.budgetAttention.
void applyBudgetRules();
// The depth entered most often among those whose entries the search counts (160 to 170; the
// earlier wins ties), or 0 when none was entered more often than depth 0, that is, more than once.
std::int32_t busiestDeepDepth();
// Ends the run: saves the statistics, restores the candidate lists and unwinds the search.
[[noreturn]] void stopRun();
