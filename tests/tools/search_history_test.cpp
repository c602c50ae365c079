// The farm's history file: written a line at a time, read back past damaged lines.
#include "stats/search_history.h"

#include <gtest/gtest.h>

#include <limits>

#include "stats/page_charts.h"
#include "test_support.h"

TEST(SearchHistory, AppendsUnderOneHeaderAndReadsBackWhatWasAppended) {
    TempDir dir;
    const std::string path = dir.file("history.csv");
    const std::vector<HistoryPoint> points{{1'800'000'000, 0, 0, 0, 0},
                                           {1'800'000'003, 9'000'000'000'000, 41'300'000, 466, 7}};
    for (const HistoryPoint& point : points)
        EXPECT_EQ(appendHistory(path, point), "");
    const std::vector<std::string> lines = linesOf(readFile(path));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], historyHeader);
    EXPECT_EQ(lines[2], "1800000003,9000000000000,41300000,466,7");
    const std::vector<HistoryPoint> read = readHistory(path);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].nodes, 9'000'000'000'000);
    EXPECT_EQ(read[1].best, 466);

    // A line cut short by a kill is ended before the next one, which is kept.
    writeFile(path, readFile(path) + "1800000006,9000");
    EXPECT_EQ(appendHistory(path, points[1]), "");
    EXPECT_EQ(readHistory(path).size(), 3u);
    EXPECT_EQ(appendHistory(dir.file("no/such/history.csv"), points[0]).rfind("cannot write", 0),
              0u);
}

TEST(SearchHistory, PassesOverLinesThatAreNotFiveWholeNumbers) {
    for (const char* line : {"1,2,3,4", "1,2,3,4,5,6", "1,2,x,4,5", "1,2,3,4,5 ", "1,2,3,481,5",
                             "1,2,3,-1,5", ",1,2,3,4", "1,,2,3,4", ""})
        EXPECT_TRUE(historyPoints(std::string(historyHeader) + "\n" + line + "\n").empty()) << line;
    EXPECT_EQ(historyPoints("1,2,3,480,5\n").size(), 1u);
}

TEST(SearchHistory, APlotOfAnyTimesHasAFewTicksAndNoOverflow) {
    // A crafted history: times far apart, at the 64-bit limits and in between.
    const std::vector<HistoryPoint> crafted = {
        {0, 1, 1, 470, 1},
        {100'000'000'000'000, 2, 2, 471, 2},
        {std::numeric_limits<std::int64_t>::min(), 3, 3, 472, 3},
        {std::numeric_limits<std::int64_t>::max(), 4, 4, 473, 4}};
    for (std::size_t n = 2; n <= crafted.size(); ++n) {
        const std::string plot =
            historyPlot({crafted.begin(), crafted.begin() + static_cast<std::ptrdiff_t>(n)},
                        HistoryMeasure::nodeRate);
        std::size_t ticks = 0;
        for (std::size_t at = plot.find("class=\"tick\""); at != std::string::npos;
             at = plot.find("class=\"tick\"", at + 1))
            ++ticks;
        EXPECT_LE(ticks, 7u) << n;
        EXPECT_LT(plot.size(), 20'000u) << n;
    }
}
