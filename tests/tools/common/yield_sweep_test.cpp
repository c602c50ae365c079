#include "tools/common/yield_sweep.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

YieldRow sampleRow(std::uint32_t seed, double cpuSeconds, std::int64_t boards) {
    YieldRow row;
    row.seeds = {seed, seed + 1};
    row.cpuSeconds = cpuSeconds;
    row.nodes = 4'000'000'000;
    row.runs = 90;
    row.runsReaching = {40, 12, 7, 3, 1};
    row.deepPlacements = 123'456;
    row.fullBoards = boards;
    row.bestScore = boards > 0 ? 463 : 0;
    row.medianDepth = 236.5;
    return row;
}

std::string sweepText(const std::vector<YieldRow>& rows) {
    std::string text = "# a setting\n" + yieldRowHeader();
    for (const YieldRow& row : rows)
        text += yieldRowLine(row);
    return text + yieldSummary(rows);
}

TEST(YieldSweep, RowsAreReadBackAsWrittenAndTheSummaryIsSkipped) {
    const std::vector<YieldRow> rows{sampleRow(1, 61.25, 0), sampleRow(3, 58.5, 17)};
    std::string problem;
    const auto read = readYieldRows(sweepText(rows), problem);
    ASSERT_TRUE(read) << problem;
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ(yieldRowLine((*read)[1]), yieldRowLine(rows[1]));
}

TEST(YieldSweep, TextThatIsNoSweepIsRefusedNamingTheLine) {
    const std::string row = yieldRowLine(sampleRow(1, 60, 0));
    struct Case {
        std::string text;
        const char* problem;
    } cases[] = {
        {"", "no sweep rows in it"},
        {row, "line 1 is not the header of a sweep's rows"},
        {yieldRowHeader() + row.substr(0, row.rfind(',')) + "\n", "line 2 is not a row"},
        {yieldRowHeader() + "x" + row, "line 2 is not a row"},
        {yieldRowHeader() + "1,2,-5" + row.substr(row.find(",", row.find(",", 4) + 1)),
         "line 2 is not a row"},
    };
    for (const Case& c : cases) {
        std::string problem;
        EXPECT_FALSE(readYieldRows(c.text, problem)) << c.text;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
}

TEST(YieldSweep, TheSignTestGivesTheChanceOfASplitAtLeastAsUneven) {
    EXPECT_DOUBLE_EQ(signTestP(5, 5), 1.0);
    EXPECT_DOUBLE_EQ(signTestP(10, 0), 2.0 / 1024);
    EXPECT_DOUBLE_EQ(signTestP(3, 8), 2.0 * (1 + 11 + 55 + 165) / 2048);
    EXPECT_DOUBLE_EQ(signTestP(0, 0), 1.0);
}

TEST(YieldSweep, AComparisonPairsRowsBySeedsAndNeedsTheSamePairs) {
    const std::vector<YieldRow> a{sampleRow(1, 60, 2), sampleRow(3, 60, 0)};
    const std::vector<YieldRow> b{sampleRow(3, 30, 1), sampleRow(1, 60, 4)};
    std::string problem;
    const auto text = compareSweeps(a, b, problem);
    ASSERT_TRUE(text) << problem;
    // Full boards per CPU-minute: A 2 in 2 minutes, B 5 in 1.5 minutes; B ahead on both pairs.
    EXPECT_NE(
        text->find("# full boards               1       3.33   3.333        2        0   0.500"),
        std::string::npos)
        << *text;
    EXPECT_FALSE(compareSweeps(a, {sampleRow(1, 60, 2), sampleRow(5, 60, 0)}, problem));
    EXPECT_NE(problem.find("seed pair 3,4 is in the first sweep only"), std::string::npos);
}

}  // namespace
