// The statistics kept in memory: nodes, seconds and full boards per mismatch count.
#pragma once

#include <array>
#include <cstdint>

#include "search/board_geometry.h"

// Tables indexed by a mismatch count have this many entries; the value 20 means no board.
inline constexpr int mismatchSlots = 20;

struct StatsRecord {
    std::int64_t nodes = 0;             // search nodes counted
    std::int64_t secs = 0;              // seconds of running time
    std::int32_t best = mismatchSlots;  // lowest mismatch count with boards, or 20
    std::int32_t check = 0;             // check value (grandTotal only)
    std::array<std::int64_t, mismatchSlots> histogram{};  // full boards per mismatch count
    // Runs by their deepest depth (the deepest depth at which they placed a piece, 0 to 254).
    std::array<std::int64_t, depthCount> runsByDeepest{};
};

// The statistics of the process.
struct Statistics {
    // Everything since the statistics file was begun; its check field is the check value.
    StatsRecord grandTotal;
    // Everything since this program start.
    StatsRecord sinceStart;
    // sinceStart as it was at the last report.
    StatsRecord lastReport;
};

// What the current run has counted that the records do not hold yet, and when it began.
struct RunStatistics {
    // Full boards per mismatch count since the last statistics save.
    std::array<std::int64_t, mismatchSlots> fullBoardTally{};
    // Part of the current run's nodeCount already added to the records.
    std::int64_t savedNodes = 0;
    // The deepest depth of the run just ended, until the records count it; -1 for none.
    std::int32_t endedRunDepth = -1;
    // Program clock at the start of the run, in milliseconds.
    std::int64_t startClock = 0;
};
extern RunStatistics runStatistics;

// The deepest depth any run of `record` reached: the deepest with a run counted, or -1.
int deepestRunDepth(const StatsRecord& record);
// Sets nodes and secs to 0, best to 20, the histogram and the runs by depth to 0; check is left
// alone.
void clearRecord(StatsRecord& record);
// The lowest mismatch count whose histogram entry is above 0, or mismatchSlots for none.
std::int32_t lowestBest(const StatsRecord& record);
// a + b, held at the limits of the type instead of overflowing: totals read from a file may
// lie at the 64-bit limits.
std::int64_t addClamped(std::int64_t a, std::int64_t b);
