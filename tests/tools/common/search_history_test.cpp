// The farm's history file: written a line at a time, read back past damaged lines.
#include "tools/common/search_history.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <limits>

#include "tests/test_support.h"
#include "tools/common/page_charts.h"

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
    const HistoryReading read = readHistory(path);
    EXPECT_TRUE(read.problems.empty());
    ASSERT_EQ(read.history.points.size(), 2u);
    EXPECT_EQ(read.history.points[1].nodes, 9'000'000'000'000);
    EXPECT_EQ(read.history.points[1].best, 466);

    // A line cut short by a kill is ended before the next one, which is kept.
    writeFile(path, readFile(path) + "1800000006,9000");
    EXPECT_EQ(appendHistory(path, points[1]), "");
    EXPECT_EQ(readHistory(path).history.count, 3);
}

TEST(SearchHistory, SaysWhyALineIsNotAppended) {
    TempDir dir;
    // A FIFO under the name takes no line: the farm would block on it once it is full.
    ASSERT_EQ(mkfifo(dir.file("fifo.csv").c_str(), 0644), 0);
    writeFile(dir.file("target.csv"), "");
    ASSERT_EQ(symlink("target.csv", dir.file("link.csv").c_str()), 0);
    const HistoryPoint point{1'800'000'000, 0, 0, 0, 0};
    for (const auto& [name, reason] :
         {std::pair<std::string, std::string>{"no/such.csv", std::strerror(ENOENT)},
          {"fifo.csv", "it is a FIFO, not a regular file"},
          {"link.csv", "it is a symbolic link, which is not written through"}})
        EXPECT_EQ(appendHistory(dir.file(name), point), reason) << name;
    EXPECT_EQ(readFile(dir.file("target.csv")), "");
    // A file that may grow no more, as on a full disk, gives the write's own reason.
    writeFile(dir.file("full.csv"), "x\n");
    rlimit unlimited{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const rlimit limit{2, unlimited.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::string reason = appendHistory(dir.file("full.csv"), point);
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(reason, std::strerror(EFBIG));
}

TEST(SearchHistory, PassesOverLinesThatAreNotFiveWholeNumbers) {
    for (const char* line : {"1,2,3,4", "1,2,3,4,5,6", "1,2,x,4,5", "1,2,3,4,5 ", "1,2,3,481,5",
                             "1,2,3,-1,5", ",1,2,3,4", "1,,2,3,4", ""})
        EXPECT_TRUE(historyPoints(std::string(historyHeader) + "\n" + line + "\n").empty()) << line;
    EXPECT_EQ(historyPoints("1,2,3,480,5\n").size(), 1u);
}

TEST(SearchHistory, AFileIsReadInPiecesToItsLastBytesAndItsFaultsAreTold) {
    TempDir dir;
    const std::string path = dir.file("history.csv");
    std::string text = std::string(historyHeader) + "\n";
    for (int i = 0; i < 100; ++i)
        text += historyLine({1'800'000'000 + i, i, 7, 470, 1}) + "\n";
    // A line far longer than any history line, a damaged one, and one cut short at the end.
    text += std::string(100'000, '9') + "\n1,2,x,4,5\n" + "1800000100,9";
    writeFile(path, text);

    HistoryReading read = readHistory(path);
    EXPECT_EQ(read.history.count, 100);
    EXPECT_EQ(read.history.points.back().time, 1'800'000'099);
    EXPECT_EQ(read.problems, (std::vector<std::string>{"has 3 damaged lines, passed over"}));

    // Of a file past the limit only its end is read, the line the limit cuts passed over.
    const std::size_t tail = text.size() - text.find("1800000090,");
    read = readHistory(path, tail - 3);
    EXPECT_EQ(read.history.count, 9);
    EXPECT_EQ(read.history.points.front().time, 1'800'000'091);
    EXPECT_EQ(read.problems.front(), "is larger than " + std::to_string(tail - 3) +
                                         " bytes: only its last " + std::to_string(tail - 3) +
                                         " bytes are read");

    EXPECT_TRUE(readHistory(dir.file("none.csv")).problems.empty());
    ASSERT_EQ(mkfifo(dir.file("fifo.csv").c_str(), 0644), 0);
    EXPECT_EQ(readHistory(dir.file("fifo.csv")).problems,
              (std::vector<std::string>{"is a FIFO, not a regular file"}));
}

TEST(SearchHistory, AHistoryKeepsAFixedNumberOfPointsEvenlySpreadAndTheLatest) {
    HistoryRecord history;
    constexpr std::int64_t added = 3 * keptHistoryPoints + 5;
    for (std::int64_t i = 0; i < added; ++i) {
        addHistoryPoint(history, {i, i, 1, 470, 0});
        ASSERT_LE(history.points.size(), keptHistoryPoints + 1) << i;
    }
    EXPECT_EQ(history.count, added);
    EXPECT_EQ(history.points.front().time, 0);
    EXPECT_EQ(history.points.back().time, added - 1);
    EXPECT_GE(history.points.size(), keptHistoryPoints / 2);
    // Every point kept but the latest is a whole number of strides from the first.
    for (std::size_t i = 0; i + 1 < history.points.size(); ++i)
        EXPECT_EQ(history.points[i].time, static_cast<std::int64_t>(i) * history.stride);
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
