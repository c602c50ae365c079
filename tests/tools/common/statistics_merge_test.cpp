#include "tools/common/statistics_merge.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace {

StatsRecord emptyRecord() {
    StatsRecord record{};
    clearRecord(record);
    return record;
}

// Records with random nodes, seconds and boards at a few random mismatch counts.
std::vector<StatsRecord> randomRecords(std::mt19937_64& random, int count) {
    std::vector<StatsRecord> records;
    for (int r = 0; r < count; ++r) {
        StatsRecord record = emptyRecord();
        record.nodes = static_cast<std::int64_t>(random() % 1'000'000'000'000);
        record.secs = static_cast<std::int64_t>(random() % 1'000'000);
        for (int k = 0; k < 3; ++k)
            record.histogram[random() % mismatchSlots] += static_cast<std::int64_t>(random() % 50);
        record.best = lowestBest(record);
        records.push_back(record);
    }
    return records;
}

}  // namespace

TEST(StatisticsMerge, SumsNodesSecondsAndEveryHistogramEntry) {
    std::mt19937_64 random(7);
    for (int round = 0; round < 20; ++round) {
        const std::vector<StatsRecord> records = randomRecords(random, 1 + round % 6);
        const StatsRecord sum = mergeRecords(records);
        std::int64_t nodes = 0;
        std::int64_t secs = 0;
        for (const StatsRecord& record : records) {
            nodes += record.nodes;
            secs += record.secs;
        }
        EXPECT_EQ(sum.nodes, nodes);
        EXPECT_EQ(sum.secs, secs);
        for (int i = 0; i < mismatchSlots; ++i) {
            std::int64_t count = 0;
            for (const StatsRecord& record : records)
                count += record.histogram[i];
            EXPECT_EQ(sum.histogram[i], count) << "mismatch count " << i;
        }
    }
}

TEST(StatisticsMerge, BestIsTheLowestMismatchCountWithBoardsInAnyRecord) {
    std::vector<StatsRecord> records(3, emptyRecord());
    records[0].histogram[9] = 4;
    records[1].histogram[12] = 1;
    records[1].histogram[6] = 2;
    // A count that is not above 0 is no board, even at a lower mismatch count.
    records[2].histogram[2] = 0;
    records[2].histogram[4] = -3;
    for (StatsRecord& record : records)
        record.best = lowestBest(record);
    EXPECT_EQ(records[0].best, 9);
    EXPECT_EQ(records[2].best, mismatchSlots);
    EXPECT_EQ(mergeRecords(records).best, 6);
    // The negative count of one record cannot hide the boards of another.
    records[0].histogram[4] = 2;
    EXPECT_EQ(mergeRecords(records).best, 4);
}

TEST(StatisticsMerge, NoRecordsOrNoBoardsGiveNoBest) {
    EXPECT_EQ(mergeRecords({}).best, mismatchSlots);
    EXPECT_EQ(mergeRecords({}).nodes, 0);
    EXPECT_EQ(mergeRecords({emptyRecord(), emptyRecord()}).best, mismatchSlots);
}

TEST(StatisticsMerge, SumsAreHeldAtTheLimitsInsteadOfOverflowing) {
    constexpr std::int64_t highest = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(addClamped(highest, 1), highest);
    EXPECT_EQ(addClamped(highest - 5, 3), highest - 2);
    EXPECT_EQ(addClamped(lowest, -1), lowest);
    EXPECT_EQ(addClamped(lowest + 5, -3), lowest + 2);
    EXPECT_EQ(addClamped(highest, lowest), -1);
    std::vector<StatsRecord> records(2, emptyRecord());
    records[0].nodes = highest;
    records[1].nodes = highest;
    records[0].histogram[3] = highest;
    records[1].histogram[3] = 1;
    const StatsRecord sum = mergeRecords(records);
    EXPECT_EQ(sum.nodes, highest);
    EXPECT_EQ(sum.histogram[3], highest);
}

TEST(StatisticsMerge, SideBySideRateIsTheSumOfEachRecordsRate) {
    std::vector<StatsRecord> records(3, emptyRecord());
    records[0].nodes = 1000;
    records[0].secs = 10;
    records[1].nodes = 9000;
    records[1].secs = 3;
    records[2].nodes = 500;  // no seconds: no rate
    EXPECT_EQ(nodeRate(records[0]), 1000 / 10);
    EXPECT_EQ(nodeRate(records[2]), 0);
    EXPECT_EQ(sideBySideRate(records), 1000 / 10 + 9000 / 3);
    // Side by side is faster than the rate of all nodes over all processor seconds.
    EXPECT_GT(sideBySideRate(records), nodeRate(mergeRecords(records)));
}
