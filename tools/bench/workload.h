// The bench's workload: complete runs of the solver on one thread from fixed seeds, with no
// files written and no console output, and what they add up to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/search_options.h"
#include "tools/common/yield_sweep.h"

struct Workload {
    int runs = 0;            // the most runs
    std::int64_t nodes = 0;  // node total at which the workload ends; 0 for none
    SeedPair seeds{20261207, 4242};
    std::string boardFile;   // loaded at the start of every run, as the solver does
    std::string groupsFile;  // groups in place of the built-in ones, as the solver reads them
    bool noGroupRules = false;
    SearchOptions options;  // the flags of searchOptionRows given, over the groups file's
    bool verbose = false;   // a line per run
    std::string pieceFile;
};

// What the runs of a workload added up to.
struct WorkloadFigures {
    YieldRow row;                    // its figures as a sweep counts them
    std::uint64_t boardsDigest = 0;  // of every full board's words and mismatches, in order
    double seconds = 0;              // wall-clock time of the runs
    double cpuSeconds = 0;           // the CPU time of the runs (user and system)
    int idleRuns = 0;                // runs in a row at the end that searched no node
    std::string profile;             // the lines of --profile, when asked for
};

// Whether the workload ended early because its runs searched no node (a board file that leaves
// no legal move); then its node total would never be reached.
inline constexpr int idleRunLimit = 100;

// Reads the pieces and the groups file, sets everything up from its start values and runs the
// workload. A groups file or an option that cannot be used gives its fault in `error`.
WorkloadFigures runWorkload(const Workload& workload, std::string& error);
