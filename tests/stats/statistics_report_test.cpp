#include "stats/statistics_report.h"

#include <gtest/gtest.h>

#include <limits>

#include "base/clocks.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "results/tally.h"
#include "run/resets.h"
#include "run/run_loop.h"
#include "tests/test_support.h"

namespace {

class StatisticsReport : public testing::Test {
protected:
    void SetUp() override { resetProgram(); }
    std::string report() {
        ConsoleCapture console;
        printStatisticsReport();
        return console.out();
    }
};

constexpr const char* reportRule =
    "---------------------------------------------------------------\n";

}  // namespace

TEST_F(StatisticsReport, FirstReportWithoutStatisticsIsAllZero) {
    results.tallyLine.lastShownMismatch = 9;
    results.tallyLine.repeatCount = 4;
    EXPECT_EQ(report(),
              std::string("\n                 Since previous     Since start     Grand total\n") +
                  reportRule +
                  "          Nodes                             0 G             0 G\n"
                  "           Time          0 h 0'          0 h 0'          0 h 0'\n"
                  "      Nodes/sec             0 K             0 K             0 K\n"
                  "           Best                               0               0\n"
                  "          Grade                 could be better could be better\n" +
                  reportRule);
    EXPECT_EQ(results.tallyLine.lastShownMismatch, 500);
    EXPECT_EQ(results.tallyLine.repeatCount, 0);
}

TEST_F(StatisticsReport, ReportAfterAnImprovementShowsGainsAndGrades) {
    results.statistics.sinceStart.nodes = 2'500'000'000;
    results.statistics.sinceStart.secs = 100;
    results.statistics.sinceStart.best = 14;
    results.statistics.sinceStart.histogram[14] = 1;
    results.statistics.grandTotal = results.statistics.sinceStart;
    results.statistics.grandTotal.nodes = 12'000'000'000;
    results.statistics.grandTotal.secs = 3'700;
    report();
    results.statistics.sinceStart.nodes = 5'000'000'000;
    results.statistics.sinceStart.secs = 200;
    results.statistics.sinceStart.best = 12;
    results.statistics.sinceStart.histogram[12] = 3;
    results.statistics.grandTotal.best = 12;
    results.statistics.grandTotal.histogram[12] = 3;
    const std::string text = report();
    EXPECT_NE(text.find("          Nodes            +2 G             5 G            12 G\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("           Time          0 h 1'          0 h 3'          1 h 1'\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("      Nodes/sec         25000 K         25000 K          3243 K\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("           Best       IMPROVED!             468             468\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("          Grade                           wow!!           wow!!\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("            468              +3               3               3\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("            466                               1               1\n"),
              std::string::npos)
        << text;
    for (std::size_t start = 1, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        EXPECT_EQ(end - start, 63u) << text.substr(start, end - start);
}

TEST_F(StatisticsReport, TotalsAtThe64BitLimitsKeepEveryLineAsWideAsTheRule) {
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    results.statistics.grandTotal = {most, most, 3, 0, {}};
    results.statistics.grandTotal.histogram[3] = most;
    const std::string text = report();
    for (const std::string& line : linesOf(text.substr(1)))
        EXPECT_EQ(line.size(), 63u) << line;
    EXPECT_NE(text.find("***************"), std::string::npos) << text;
}
