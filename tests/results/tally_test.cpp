#include "results/tally.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "results/results_state.h"
#include "results/statistics_records.h"
#include "run/resets.h"
#include "search/search_state.h"
#include "tests/test_support.h"

namespace {

// A line end and the indentation of a new tally line. Built by appending rather than as
// "\n" + std::string(n, ' '): GCC 12 at -O3 reports a false -Wrestrict overlap inside
// std::string for that sum once it is inlined into a test body.
std::string newLine(int indentation) {
    std::string text = "\n";
    text.append(static_cast<std::size_t>(indentation), ' ');
    return text;
}

// Right after a statistics report: no line open, no board counted since the last save.
class Tally : public ::testing::Test {
protected:
    void SetUp() override { resetProgram(); }

    // A full board with `mismatches` mismatched edges, counted and then shown, as the
    // full-board handling does.
    void show(int mismatches) {
        search.mismatchCount = mismatches;
        ++runStatistics.fullBoardTally[mismatches];
        showFullBoard();
    }

    // The reset done by the statistics report after its table.
    void statisticsReport() {
        results.tallyLine.lastShownMismatch = 500;
        results.tallyLine.repeatCount = 0;
    }

    ConsoleCapture console;
};

// The line a first board of some mismatch count opens: its indentation and its start.
struct OpeningCase {
    int mismatches;
    int indentation;
    const char* start;
};
void PrintTo(const OpeningCase& c, std::ostream* os) {
    *os << c.mismatches << " mismatches";
}

class TallyOpening : public Tally, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(TallyOpening, FirstBoardOpensALineIndentedByItsQualityWithScoreAndCount) {
    show(GetParam().mismatches);
    EXPECT_EQ(console.out(), newLine(GetParam().indentation) + GetParam().start);
    EXPECT_EQ(results.tallyLine.lastShownMismatch, GetParam().mismatches);
    EXPECT_EQ(results.tallyLine.repeatCount, 0);
}

INSTANTIATE_TEST_SUITE_P(Tally, TallyOpening,
                         ::testing::Values(OpeningCase{17, 0, "463   1 "},
                                           OpeningCase{16, 8, "464   1 "},
                                           OpeningCase{9, 64, "471   1 "},
                                           OpeningCase{1, 128, "479   1 "}),
                         [](const ::testing::TestParamInfo<OpeningCase>& info) {
                             return std::to_string(info.param.mismatches) + "Mismatches";
                         });

TEST_F(Tally, TenBoardsOfTheSameCountShowOneLineWithNineMarks) {
    for (int i = 0; i < 10; ++i)
        show(9);
    EXPECT_EQ(console.out(), newLine(64) + "471   1 " + ",.,|.,.,+");
    EXPECT_EQ(results.tallyLine.repeatCount, 9);
}

TEST_F(Tally, MarkCycleRepeatsSoEveryFifthBoardShowsABarOrAPlus) {
    for (int i = 0; i < 25; ++i)
        show(9);
    // Boards 2..10, 11..20, 21..25 of the line.
    EXPECT_EQ(console.out(), newLine(64) + "471   1 " + ",.,|.,.,+" + ".,.,|.,.,+" + ".,.,|");
}

TEST_F(Tally, CountOnANewLineIncludesEveryBoardSinceTheLastSave) {
    runStatistics.fullBoardTally[12] = 6;
    show(12);
    EXPECT_EQ(console.out(), newLine(40) + "468   7 ");
}

TEST_F(Tally, AnotherMismatchCountOpensANewLineAndSwitchingBackOpensAnother) {
    show(9);
    show(9);
    show(10);
    show(9);
    EXPECT_EQ(console.out(),
              newLine(64) + "471   1 ," + newLine(56) + "470   1 " + newLine(64) + "471   3 ");
}

TEST_F(Tally, AfterAStatisticsReportTheSameCountOpensANewLine) {
    show(9);
    show(9);
    statisticsReport();
    show(9);
    EXPECT_EQ(console.out(), newLine(64) + "471   1 ," + newLine(64) + "471   3 ");
    EXPECT_EQ(results.tallyLine.repeatCount, 0);
}

TEST_F(Tally, SaveWithoutReportKeepsTheOpenLineButRestartsTheCount) {
    show(9);
    show(9);
    runStatistics.fullBoardTally.fill(0);  // statistics saved at the end of a run, no report
    show(9);
    show(11);
    EXPECT_EQ(console.out(), newLine(64) + "471   1 ,." + newLine(48) + "469   1 ");
}

// Counts of boards since the last save that no longer fit three places.
struct WideCountCase {
    int earlier;
    const char* start;
};
void PrintTo(const WideCountCase& c, std::ostream* os) {
    *os << c.earlier << " boards before";
}

class TallyWideCount : public Tally, public ::testing::WithParamInterface<WideCountCase> {};

TEST_P(TallyWideCount, CountWidensItsFieldAndTheLineFollowsIt) {
    runStatistics.fullBoardTally[9] = GetParam().earlier;
    show(9);
    show(9);
    EXPECT_EQ(console.out(), newLine(64) + GetParam().start + ",");
}

INSTANTIATE_TEST_SUITE_P(Tally, TallyWideCount,
                         ::testing::Values(WideCountCase{98, "471  99 "},
                                           WideCountCase{998, "471 999 "},
                                           WideCountCase{999, "471 1000 "},
                                           WideCountCase{123455, "471 123456 "}),
                         [](const ::testing::TestParamInfo<WideCountCase>& info) {
                             return "Count" + std::to_string(info.param.earlier + 1);
                         });

}  // namespace
