// The harvest: runs of the solver's own search without group rules, each capped, on every core,
// keeping each run's deepest board.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "results/statistics_records.h"
#include "tools/groups/group_derivation.h"

struct HarvestOptions {
    std::int64_t nodes = 0;  // the node total that ends the harvest, or 0 for a time bound
    int seconds = 120;       // the time bound when no node total is given: the runs' CPU seconds
    int jobs = 1;            // runs at once, each in a process of its own
    std::uint32_t seed = 1;  // the harvest's seed: run i draws from (seed, i)
    std::int64_t runNodes = 100'000'000;  // the cap of every run
    bool progress = false;                // a progress line on the error stream
};

// One run of the harvest.
struct HarvestRun {
    DeepBoard deepest;
    std::int64_t nodes = 0;
    std::int64_t fullBoards = 0;
    std::int32_t bestMismatches = mismatchSlots;  // the fewest mismatched edges of its full boards
};

// Runs the harvest on the puzzle whose tables are built. With a node total the runs are those
// numbered 0 up to the first at which their nodes reach the total, whatever the number of jobs,
// so that the same seed gives the same runs; with a time bound, the runs that end before the
// runs' CPU seconds, added up, reach it (those still running then are stopped and count with
// their deepest board so far), however busy the machine is. Returns the
// runs in order, or sets `error` when a run failed or could not be started, having ended every
// other run. Each run's process ends with this one, however this one ends; a stop signal ends
// the runs, then this program as the signal would have.
std::vector<HarvestRun> harvest(const HarvestOptions& options, std::string& error);
