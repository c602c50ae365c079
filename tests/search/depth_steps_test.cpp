// The depth steps on small hand-made situations, and on the planted solution of a generated
// puzzle.
#include "search/depth_steps.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/puzzle_tables.h"
#include "results/results_state.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/random.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/list_editing.h"
#include "puzzle/piece_file.h"
#include "results/board_files.h"
#include "results/full_boards.h"
#include "results/statistics_records.h"
#include "run/resets.h"
#include "run/run_budget.h"
#include "run/run_setup.h"
#include "run/startup.h"
#include "search/board_geometry.h"
#include "search/search_options.h"
#include "search/search_state.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

int slotAt(int row, int col) {
    return squareSlot[row][col];
}

// A clean run state around a hand-made piece set: every piece is an interior piece of
// colour 0 and not free, so only the pieces a test sets up take part. Each case runs on the
// solver's own steps and on the steps with options (counting where the nodes go), which must
// search alike.
class DepthSteps : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        resetProgram();
        runOptions.of<ProfileOption>() = GetParam() ? 1 : 0;
        for (int p = 0; p < 256; ++p) {
            puzzle.pieceCodes[p] = makePieceCode(p, 0, 0, 0, 0);
            puzzle.borderCount[p] = 0;
        }
        // Every square holds a placed piece of colour 0, whose lists hold no free piece, so
        // the steps after the one under test find nothing.
        search.board.fill(makePieceCode(200, 0, 0, 0, 0));
        search.pieceFree.fill(0);
        search.board[hintSlot] = makePieceCode(hintPiece, 11, 12, 13, 14);
    }
    // A free piece with the given colours in rotation 0.
    void addPiece(int p, int bottom, int right, int top, int left, int borders = 0) {
        puzzle.pieceCodes[p] = makePieceCode(p, bottom, right, top, left);
        puzzle.borderCount[p] = borders;
        search.pieceFree[p] = 1;
    }
    // A placed neighbour: only the colours the step reads matter.
    void putNeighbour(int row, int col, int bottom, int right) {
        search.board[slotAt(row, col)] = makePieceCode(200, bottom, right, 0, 0);
    }
};

TEST_P(DepthSteps, StepBelowItsSecondListMinimumReturnsWithoutTryingAnything) {
    addPiece(10, 5, 6, 7, 8);
    buildCandidateTables();
    putNeighbour(1, 0, 0, 8);  // left of (1, 1), depth 4
    putNeighbour(0, 1, 7, 0);  // above it
    search.groupFlags.secondListMinimum[4] = 1;
    searchFromDepth(4);
    EXPECT_EQ(search.nodeCount, 0);
    EXPECT_EQ(pieceNumberOf(search.board[slotAt(1, 1)]), 200);
    search.groupFlags.secondListMinimum[4] = 0;
    searchFromDepth(4);
    EXPECT_EQ(search.nodeCount, 1);
    EXPECT_EQ(search.board[slotAt(1, 1)], puzzle.pieceCodes[10] | lastInListBit);
}

TEST_P(DepthSteps, SquareLeftOfTheHintTakesOnlyPiecesWhoseRightMatchesTheHint) {
    addPiece(20, 5, 1, 7, 8);   // right 1: does not meet the hint's left (14)
    addPiece(21, 5, 14, 7, 8);  // right 14: fits
    buildCandidateTables();
    putNeighbour(7, 5, 0, 8);
    putNeighbour(6, 6, 7, 0);
    searchFromDepth(103);
    EXPECT_EQ(search.nodeCount, 1);
    EXPECT_EQ(pieceNumberOf(search.board[slotAt(7, 6)]), 21);
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, 0);  // its list removals were undone
}

TEST_P(DepthSteps, SquareAboveTheHintTakesOnlyPiecesWhoseBottomMatchesTheHint) {
    addPiece(20, 13, 1, 7, 8);  // bottom 13 meets the hint's top
    addPiece(21, 4, 1, 7, 8);
    buildCandidateTables();
    putNeighbour(6, 6, 0, 8);
    putNeighbour(5, 7, 7, 0);
    searchFromDepth(118);
    EXPECT_EQ(search.nodeCount, 1);
    EXPECT_EQ(pieceNumberOf(search.board[slotAt(6, 7)]), 20);
}

TEST_P(DepthSteps, SquaresRightOfAndBelowTheHintKeyOnTheHintsColours) {
    addPiece(30, 3, 2, 9, 12);  // left 12 = the hint's right
    addPiece(31, 3, 2, 11, 9);  // top 11 = the hint's bottom
    buildCandidateTables();
    putNeighbour(6, 8, 9, 0);  // above (7, 8), depth 134
    searchFromDepth(134);
    EXPECT_EQ(pieceNumberOf(search.board[slotAt(7, 8)]), 30);
    putNeighbour(8, 6, 0, 9);  // left of (8, 7), depth 119
    searchFromDepth(119);
    EXPECT_EQ(pieceNumberOf(search.board[slotAt(8, 7)]), 31);
}

TEST_P(DepthSteps, PiecesThatAreNotFreeAreSkippedUpToTheFlaggedLastEntry) {
    addPiece(40, 5, 6, 7, 8);
    addPiece(41, 5, 6, 7, 8);
    buildCandidateTables();
    putNeighbour(1, 0, 0, 8);
    putNeighbour(0, 1, 7, 0);
    search.pieceFree[40] = 0;
    search.pieceFree[41] = 0;  // the flagged last entry of the list is not free either
    searchFromDepth(4);
    EXPECT_EQ(search.nodeCount, 0);
    search.pieceFree[41] = 1;
    searchFromDepth(4);
    EXPECT_EQ(search.nodeCount, 1);
    EXPECT_EQ(pieceNumberOf(search.board[slotAt(1, 1)]), 41);
}

TEST_P(DepthSteps, FirstListPiecesAreLimitedToSixOnTheBoardAtDepths64To79) {
    addPiece(50, 5, 6, 22, 8, 1);  // an edge piece for (0, 4), depth 64
    buildCandidateTables();
    putNeighbour(0, 3, 0, 8);
    search.groupFlags.inFirstList[50] = 1;
    search.firstListPlaced = 6;
    searchFromDepth(64);
    EXPECT_EQ(search.nodeCount, 0);
    search.firstListPlaced = 5;
    searchFromDepth(64);
    EXPECT_EQ(search.nodeCount, 1);
    EXPECT_EQ(search.firstListPlaced, 5);
    search.groupFlags.inFirstList[50] = 0;
    search.groupFlags.firstListBarred[50] = 1;  // barred pieces stay out until depth 100
    searchFromDepth(64);
    EXPECT_EQ(search.nodeCount, 1);
}

TEST_P(DepthSteps, PieceInBothListsCountsAsAFirstListPieceOnly) {
    // Depth 81 is (1, 5); depth 82 is (2, 5) below it. Depth 82 is entered only when the
    // piece placed at depth 81 raised secondListPlaced to its minimum.
    addPiece(60, 9, 6, 7, 8);
    addPiece(61, 3, 4, 9, 1);
    buildCandidateTables();
    putNeighbour(1, 4, 0, 8);
    putNeighbour(0, 5, 7, 0);
    putNeighbour(2, 4, 0, 1);
    search.groupFlags.secondListMinimum[82] = 1;
    search.groupFlags.inFirstList[60] = 1;
    search.groupFlags.inSecondList[60] = 1;
    searchFromDepth(81);
    EXPECT_EQ(search.nodeCount, 1);
    EXPECT_EQ(search.firstListPlaced, 0);
    search.groupFlags.inFirstList[60] = 0;
    searchFromDepth(81);
    EXPECT_EQ(search.nodeCount, 3);
    EXPECT_EQ(search.secondListPlaced, 0);
}

TEST_P(DepthSteps, MismatchPhaseRunsOnlyWhileTheCountIsBelowTheDepthsLimit) {
    // Depth 253 is (14, 15), limit 17; depth 254 is the corner (15, 15).
    addPiece(70, 6, 22, 4, 5, 1);  // fits the upper neighbour, not the left one (3)
    addPiece(0, 22, 22, 6, 7, 2);  // the last corner
    buildCandidateTables();
    putNeighbour(14, 14, 0, 3);
    putNeighbour(13, 15, 4, 22);
    putNeighbour(15, 14, 22, 7);
    ConsoleCapture console;
    CurrentTempDir dir;
    search.mismatchCount = 17;
    searchFromDepth(253);
    EXPECT_EQ(results.fullBoards.count, 0);
    search.mismatchCount = 16;
    searchFromDepth(253);
    EXPECT_EQ(results.fullBoards.count, 1);
    EXPECT_EQ(runStatistics.fullBoardTally[17], 1);
    EXPECT_EQ(search.mismatchCount, 16);
    EXPECT_EQ(search.deepestReached, 256);
}

// A run can stay beyond the budget's depths for minutes, so the node limit is also honoured
// where the mismatch phase checks for a stop request.
TEST_P(DepthSteps, MismatchPhaseStopsTheRunAtTheNodeLimit) {
    addPiece(70, 6, 22, 4, 5, 1);
    buildCandidateTables();
    putNeighbour(14, 14, 0, 3);
    putNeighbour(13, 15, 4, 22);
    ConsoleCapture console;
    CurrentTempDir dir;
    search.nodeCount = 5;
    program.settings.runNodeLimit = 6;
    searchFromDepth(253);  // below the limit: the phase goes on
    EXPECT_EQ(search.nodeCount, 6);
    EXPECT_THROW(searchFromDepth(253), RunStopped);
    EXPECT_EQ(search.nodeCount, 6);
}

// The planted solution of a generated puzzle on the squares of the first depths: the search
// from a late depth finds the perfect completion, announces it and saves it.

INSTANTIATE_TEST_SUITE_P(Steps, DepthSteps, testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "WithOptions" : "SolversOwn");
});

TEST(DepthStepsOnAPlantedPuzzle, FindsAnnouncesAndSavesThePerfectCompletion) {
    const PlantedPuzzle plantedPuzzle = generatePuzzle({11, 17, 5});
    CurrentTempDir dir;
    writeFile(dir.file("k7pieces.txt"), pieceFileText(plantedPuzzle));
    readPieceFile(dir.file("k7pieces.txt").c_str());
    buildCandidateTables();
    resetProgram();
    std::array<PieceCode, 256> planted{};
    for (int s = 0; s < 256; ++s)
        planted[s] =
            rotate(plantedPuzzle.slotRotation[s], puzzle.pieceCodes[plantedPuzzle.slotPiece[s]]);
    constexpr int startDepth = 236;
    search.board[hintSlot] = planted[hintSlot];
    search.pieceFree[hintPiece] = 0;
    for (int d = 0; d < startDepth; ++d) {
        search.board[fillOrder[d]] = planted[fillOrder[d]];
        search.pieceFree[pieceNumberOf(planted[fillOrder[d]])] = 0;
    }
    seedRandom(program.mainRandom, 5);

    ConsoleCapture console;
    searchFromDepth(startDepth);

    EXPECT_GE(runStatistics.fullBoardTally[0], 1);
    EXPECT_NE(console.out().find("Nr solutions = "), std::string::npos);
    EXPECT_NE(console.out().find("Board is saved in " +
                                 std::string(program.settings.workingDirectory) + "/480.tsr\n"),
              std::string::npos);
    const auto saved = decodeRecordBoard(readFile(dir.file("480.tsr")));
    ASSERT_TRUE(saved.has_value());
    for (int s = 0; s < 256; ++s)
        EXPECT_EQ((*saved)[s] & ~lastInListBit, planted[s]) << "slot " << s;
    EXPECT_EQ(search.mismatchCount, 0);
    for (int d = startDepth; d < depthCount; ++d)
        EXPECT_EQ(search.pieceFree[pieceNumberOf(planted[fillOrder[d]])], 1);
}

}  // namespace
