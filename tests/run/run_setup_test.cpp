#include "run/run_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

#include "base/clocks.h"
#include "base/printable_text.h"
#include "base/program_state.h"
#include "base/random.h"
#include "puzzle/candidate_ordering.h"
#include "puzzle/puzzle_run.h"
#include "results/statistics_records.h"
#include "run/current_run.h"
#include "run/piece_groups.h"
#include "run/resets.h"
#include "search/search_state.h"
#include "tests/test_support.h"

namespace {

std::set<int> flagged(const std::array<std::int32_t, 256>& flags) {
    std::set<int> pieces;
    for (int p = 0; p < 256; ++p)
        if (flags[p]) pieces.insert(p);
    return pieces;
}

std::set<int> colours(const std::array<std::int32_t, 24>& flags) {
    std::set<int> set;
    for (int c = 0; c < 24; ++c)
        if (flags[c]) set.insert(c);
    return set;
}

}  // namespace

TEST(RunSetup, GroupZeroBarsAndCountsExactlyItsListedPieces) {
    resetProgram();
    applyPieceGroup(0);
    EXPECT_EQ(flagged(search.groupFlags.firstListBarred),
              (std::set<int>{0,   2,   5,   10,  14,  16,  17,  18,  19,  21,  22,  50,  58,  100,
                             101, 102, 103, 108, 109, 110, 111, 112, 114, 115, 116, 117, 118, 119,
                             121, 122, 123, 124, 125, 127, 129, 131, 132, 135, 172, 184, 191, 193,
                             194, 195, 202, 205, 216, 224, 238, 239, 242, 246, 249, 252, 253}));
    EXPECT_EQ(flagged(search.groupFlags.inSecondList),
              (std::set<int>{15,  28, 36, 145, 146, 81, 64, 60, 63, 83,
                             136, 67, 68, 137, 154, 46, 47, 45, 26, 40}));
    const std::set<int> first = flagged(search.groupFlags.inFirstList);
    EXPECT_EQ(first.size(), 150u);
    const PieceGroup& group = builtInGroups().table[0];
    for (int i = 0; i < group.firstCount; ++i)
        EXPECT_TRUE(first.count(builtInGroups().pieces[i]));
}

TEST(RunSetup, ColoursAreDrawnInOrderWithARedrawWhenTheFavouredHitsTheShunned) {
    resetProgram();
    setup.groupRandomSeeded = true;
    seedRandom(program.groupRandom, 1);
    int redraws = 0;
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        seedRandom(program.mainRandom, seed);
        RandomState copy = program.mainRandom;
        const int shunned = static_cast<int>(nextRandom(copy) % 17u);
        int favoured = static_cast<int>(nextRandom(copy) % 17u);
        if (favoured == shunned) ++redraws;
        while (favoured == shunned)
            favoured = static_cast<int>(nextRandom(copy) % 17u);
        const int high = static_cast<int>(nextRandom(copy) % 5u) + 17;

        resetRun();
        chooseGroupAndColours();
        EXPECT_EQ(colours(puzzleRun.ordering.shunnedColour), std::set<int>{shunned});
        EXPECT_EQ(colours(puzzleRun.ordering.favouredColour), (std::set<int>{favoured, high}));
        EXPECT_EQ(program.mainRandom.position, copy.position) << "no draw beyond the colours";
    }
    EXPECT_GT(redraws, 0);
}

TEST(RunSetup, GroupRandomIsSeededInTheFirstRunOnlyAndDrawsOneGroupPerRun) {
    resetProgram();
    seedRandom(program.mainRandom, 3);
    chooseGroupAndColours();
    EXPECT_TRUE(setup.groupRandomSeeded);
    for (int run = 0; run < 5; ++run) {
        RandomState copy = program.groupRandom;
        resetRun();
        chooseGroupAndColours();
        EXPECT_EQ(currentRun.draws.group, static_cast<int>(nextRandom(copy) % 60u));
        EXPECT_EQ(std::count(search.groupFlags.inFirstList.begin(),
                             search.groupFlags.inFirstList.end(), 1),
                  builtInGroups().table[currentRun.draws.group].firstCount);
        EXPECT_EQ(std::count(search.groupFlags.firstListBarred.begin(),
                             search.groupFlags.firstListBarred.end(), 1),
                  55);
        EXPECT_EQ(std::count(search.groupFlags.inSecondList.begin(),
                             search.groupFlags.inSecondList.end(), 1),
                  20);
        EXPECT_EQ(search.groupFlags.secondListMinimum[100], 20);
        EXPECT_EQ(search.groupFlags.secondListMinimum[79], 18);
        EXPECT_EQ(search.groupFlags.secondListMinimum[80], 0);
    }
}

TEST(RunSetup, ARunStartClearsTheSearchTheGroupFlagsAndTheTally) {
    resetProgram();
    search.board.fill(1234);
    search.secondListPlaced = 3;
    search.groupFlags.inFirstList.fill(1);
    search.groupFlags.secondListMinimum.fill(2);
    runStatistics.fullBoardTally.fill(3);
    resetRun();
    EXPECT_EQ(search.board, SearchState{}.board);
    EXPECT_EQ(search.secondListPlaced, 0);
    EXPECT_EQ(search.groupFlags.inFirstList, GroupFlags{}.inFirstList);
    EXPECT_EQ(search.groupFlags.secondListMinimum, GroupFlags{}.secondListMinimum);
    EXPECT_EQ(runStatistics.fullBoardTally, RunStatistics{}.fullBoardTally);
}

TEST(RunSetup, TestSeedsAreReadAsAPairAndAnyOtherValueIsNamedAndIgnored) {
    const char* ignored = "; it is ignored, and the seeds come from the clocks\n";
    const struct {
        const char* value;  // of testSeedsVariable, or null when it is not set
        bool fixed;
    } cases[] = {{nullptr, false}, {"7,9", true},   {"4294967295,0", true},  {"7", false},
                 {"7,", false},    {"-1,2", false}, {"1,4294967296", false}, {"1\x1b,2", false}};
    for (const auto& c : cases) {
        resetProgram();
        if (c.value != nullptr) setenv(testSeedsVariable, c.value, 1);
        ConsoleCapture console;
        readTestSeeds();
        unsetenv(testSeedsVariable);
        const std::string shown = c.value == nullptr ? "" : printableText(c.value);
        EXPECT_EQ(console.err(), c.fixed || c.value == nullptr
                                     ? ""
                                     : "TESSALY_TEST_SEEDS takes two whole numbers MAIN,GROUP "
                                       "from 0 to 4294967295, not '" +
                                           shown + "'" + ignored)
            << shown;
        EXPECT_EQ(setup.testSeeds.has_value(), c.fixed) << shown;
    }
}

TEST(RunSetup, TestSeedsMakeTheFirstRunsDrawsTheSameAtAnyTime) {
    // The colours and group of a first run, as a start at program clock `ms` draws them.
    const auto firstRunAt = [](std::int64_t ms) {
        resetProgram();
        setup.testSeeds = {{7, 9}};
        program.stoppedClockMs = ms;
        seedRandom(program.mainRandom, chosenMainSeed());
        chooseGroupAndColours();
        program.stoppedClockMs.reset();
        return std::pair{currentRun.draws.group, puzzleRun.ordering.favouredColour};
    };
    const auto first = firstRunAt(1'000);
    for (const std::int64_t ms : {1'001, 987'654, 3'600'000})
        EXPECT_EQ(firstRunAt(ms), first) << ms;
}
