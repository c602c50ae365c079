#include "puzzle/colour_scarcity.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "puzzle/candidate_ordering.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/puzzle_tables.h"
#include "run/resets.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

// A generated 17/5 puzzle: its interior colours are on 48 or 50 edges, so the pieces' sums of
// colour counts differ.
class ColourScarcity : public testing::Test {
protected:
    void SetUp() override {
        resetProgram();
        TempDir dir;
        writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle({9101, 17, 5})));
        readPieceFile(dir.file("k7pieces.txt").c_str());
        buildCandidateTables();
    }
};

TEST_F(ColourScarcity, TermsSpanTheWeightWithinEachKindAndNothingAtZero) {
    prepareScarcity(0);
    EXPECT_TRUE(std::all_of(puzzleRun.scarcity.term.begin(), puzzleRun.scarcity.term.end(),
                            [](int t) { return t == 0; }));
    prepareScarcity(-400);
    const auto [least, most] =
        std::minmax_element(puzzleRun.scarcity.term.begin() + 60, puzzleRun.scarcity.term.end());
    EXPECT_EQ(*least, -200);
    EXPECT_EQ(*most, 200);
    // Below 0 the pieces whose colours are the commonest come first: the lowest term.
    int common = 60;
    for (int p = 60; p < 256; ++p)
        if (puzzleRun.scarcity.term[p] < puzzleRun.scarcity.term[common]) common = p;
    prepareScarcity(400);
    EXPECT_EQ(puzzleRun.scarcity.term[common], 200);
}

TEST_F(ColourScarcity, TheTermMovesAPieceInTheOrderingByItself) {
    const PieceCode code = puzzle.pieceCodes[100];
    const std::int32_t plain = piecePriority(code);
    prepareScarcity(-400);
    EXPECT_EQ(piecePriority(code), plain + puzzleRun.scarcity.term[100]);
}

}  // namespace
