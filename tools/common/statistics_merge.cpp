#include "tools/common/statistics_merge.h"

StatsRecord mergeRecords(const std::vector<StatsRecord>& records) {
    StatsRecord sum{};
    clearRecord(sum);
    sum.check = 0;
    for (const StatsRecord& record : records) {
        sum.nodes = addClamped(sum.nodes, record.nodes);
        sum.secs = addClamped(sum.secs, record.secs);
        for (int i = 0; i < mismatchSlots; ++i)
            sum.histogram[i] = addClamped(sum.histogram[i], record.histogram[i]);
        for (int d = 0; d < depthCount; ++d)
            sum.runsByDeepest[d] = addClamped(sum.runsByDeepest[d], record.runsByDeepest[d]);
        // Taken from each record's own entries, so that a negative count in one file cannot
        // hide the boards of another.
        const std::int32_t best = lowestBest(record);
        if (best < sum.best) sum.best = best;
    }
    return sum;
}

std::int64_t sideBySideRate(const std::vector<StatsRecord>& records) {
    std::int64_t rate = 0;
    for (const StatsRecord& record : records)
        rate = addClamped(rate, nodeRate(record));
    return rate;
}
