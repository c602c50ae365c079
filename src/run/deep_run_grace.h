// The deep-run grace, a search option: a run that has passed the early-failure check (so it
// reached the deep squares within earlyFailureNodes) is spared the concentration end ("\") until
// it has searched runOptions.deepRunGrace nodes. On hard puzzles the runs that reach the deep
// squares early are the few that can finish a board, and the concentration check ends them
// all at its first look; every other end stays as it is.
#pragma once

#include <cstdint>

#include "run/budget_policy.h"
#include "search/search_options.h"
#include "search/search_state.h"

// Whether the run at node count `n` is spared the concentration end.
inline bool spareFromConcentrationEnd(std::int64_t n) {
    return n < runOptions.deepRunGrace && n > earlyFailureNodes && search.deepestReached >= 0;
}
