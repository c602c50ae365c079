#include "results/statistics_records.h"

#include <limits>

RunStatistics runStatistics;

void clearRecord(StatsRecord& record) {
    record.nodes = 0;
    record.secs = 0;
    record.best = mismatchSlots;
    record.histogram.fill(0);
    record.runsByDeepest.fill(0);
}

int deepestRunDepth(const StatsRecord& record) {
    for (int d = depthCount - 1; d >= 0; --d)
        if (record.runsByDeepest[d] > 0) return d;
    return -1;
}

std::int32_t lowestBest(const StatsRecord& record) {
    for (int i = 0; i < mismatchSlots; ++i)
        if (record.histogram[i] > 0) return i;
    return mismatchSlots;
}

std::int64_t addClamped(std::int64_t a, std::int64_t b) {
    constexpr std::int64_t highest = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    if (b > 0 && a > highest - b) return highest;
    if (b < 0 && a < lowest - b) return lowest;
    return a + b;
}
