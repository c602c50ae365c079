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
    };
    for (const Case& c : cases) {
        std::string problem;
        EXPECT_FALSE(readYieldRows(c.text, problem)) << c.text;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
}

// The row of sampleRow(1, 60, 2) with its field `index` (from 0) written as `value`.
std::string sweepRowWith(std::size_t index, const std::string& value) {
    std::string row = yieldRowLine(sampleRow(1, 60, 2));
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i)
        start = row.find(',', start) + 1;
    return row.replace(start, row.find_first_of(",\n", start) - start, value);
}

TEST(YieldSweep, ARowThatNoBenchmarkCouldPrintIsRefusedNamingTheLineAndTheColumn) {
    const struct {
        std::size_t field;
        const char* value;
        const char* problem;
    } cases[] = {
        {2, "0", "'cpu seconds' is not a positive number"},
        {2, "inf", "'cpu seconds' is not a positive number"},
        {2, "1e-305", "'cpu seconds' is too few for 'runs' per minute"},
        {3, "-1", "'nodes' is negative"},
        {11, "-99", "'full boards' is negative"},
        {5, "91", "'deepest 240' is more than 'runs'"},
        {6, "41", "'deepest 248' is more than 'deepest 240'"},
        {12, "481", "'best score' is not from 0 to 480"},
        {13, "nan", "'median depth' is not from -1 to 254"},
    };
    for (const auto& c : cases) {
        const std::string text = "# setting\n" + yieldRowHeader() + sweepRowWith(c.field, c.value);
        std::string problem;
        EXPECT_FALSE(readYieldRows(text, problem)) << text;
        EXPECT_EQ(problem, std::string("line 3 is out of range: ") + c.problem) << text;
    }
}

TEST(YieldSweep, CountsTooLargeToAddUpAreHeldAtTheLargestCount) {
    YieldRow row = sampleRow(1, 60, INT64_MAX);
    row.nodes = INT64_MAX;
    const std::string summary = yieldSummary({row, row});
    EXPECT_NE(summary.find("2 seed pairs, 120.0 CPU seconds, 9223372036854775807 nodes"),
              std::string::npos)
        << summary;
    // The full boards of both pairs, held at the largest count, per minute of both.
    EXPECT_NE(summary.find("9.22e+18   4.61e+18\n# best"), std::string::npos) << summary;
}

TEST(YieldSweep, TheSignTestGivesTheChanceOfASplitAtLeastAsUneven) {
    EXPECT_DOUBLE_EQ(signTestP(5, 5), 1.0);
    EXPECT_DOUBLE_EQ(signTestP(10, 0), 2.0 / 1024);
    EXPECT_DOUBLE_EQ(signTestP(3, 8), 2.0 * (1 + 11 + 55 + 165) / 2048);
    EXPECT_DOUBLE_EQ(signTestP(0, 0), 1.0);
    EXPECT_NEAR(signTestP(600, 620), 0.58648, 1e-5);  // 0.5^1220 alone is 0
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
    // The best score: 463 on both sides, higher in B on pair 3,4 only.
    EXPECT_NE(
        text->find("# best score              463        463       -        1        0   1.000"),
        std::string::npos)
        << *text;

    // Each seed pair in each sweep once, and the same in both.
    const auto rows = [](std::vector<std::uint32_t> seeds) {
        std::vector<YieldRow> sweep;
        for (const std::uint32_t seed : seeds)
            sweep.push_back(sampleRow(seed, 60, 1));
        return sweep;
    };
    const struct {
        std::vector<YieldRow> a, b;
        const char* problem;
    } refused[] = {
        {rows({1, 1, 5}), rows({1, 3, 5}), "seed pair 1,2 is in the first sweep twice"},
        {rows({1, 3, 5}), rows({1, 1, 5}), "seed pair 1,2 is in the second sweep twice"},
        {rows({1, 3}), rows({1, 5}), "seed pair 3,4 is in the first sweep only"},
        {rows({1}), rows({3, 1}), "seed pair 3,4 is in the second sweep only"},
        {rows({}), rows({}), "the sweeps have no rows"},
    };
    for (const auto& c : refused) {
        EXPECT_FALSE(compareSweeps(c.a, c.b, problem)) << c.problem;
        EXPECT_EQ(problem, c.problem);
    }
}

}  // namespace
