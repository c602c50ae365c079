// tessaly-show checking boards: the score recounted from the colours, partly filled boards,
// and every rule a board can break.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "search/board_geometry.h"
#include "tests/tools/common/show_test_boards.h"
#include "tools/common/board_check.h"
#include "tools/common/board_reading.h"

namespace {

class ShowCheck : public testing::Test {
protected:
    BoardCheck check(const Layout& layout, BoardFormat format = BoardFormat::grid,
                     const std::string& path = "board.txt") const {
        ReadBoard board;
        board.format = format;
        board.slots = puzzle.codes(layout);
        return checkBoard(board, puzzle.pieces, path);
    }

    static std::vector<Edge> edgesOf(const BoardCheck& check) {
        std::vector<Edge> edges;
        for (const Mismatch& m : check.mismatches)
            edges.push_back({m.first.row, m.first.col, m.across});
        return edges;
    }

    static bool mentions(const BoardCheck& check, const std::string& part) {
        for (const std::string& rule : check.ruleBreaks)
            if (rule.find(part) != std::string::npos) return true;
        return false;
    }

    static std::string rules(const BoardCheck& check) {
        std::string all;
        for (const std::string& rule : check.ruleBreaks)
            all += rule + "\n";
        return all;
    }

    GeneratedPuzzle puzzle{77};
};

bool onRimOrHint(int row, int col) {
    return row == 0 || col == 0 || row == 15 || col == 15 || (row == 7 && col == 7);
}

}  // namespace

TEST_F(ShowCheck, PlantedSolutionScores480AndKeepsEveryRule) {
    for (const BoardFormat format : {BoardFormat::grid, BoardFormat::record}) {
        const BoardCheck result = check(puzzle.solution(), format);
        EXPECT_TRUE(result.full());
        EXPECT_EQ(result.filled, 256);
        EXPECT_EQ(result.joinedEdges, innerEdges);
        EXPECT_TRUE(result.mismatches.empty());
        EXPECT_EQ(result.score(), 480);
        EXPECT_TRUE(result.ruleBreaks.empty()) << rules(result);
    }
}

TEST_F(ShowCheck, SwappedPiecesGiveTheMismatchesCountedFromTheGenerator) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> inner(1, 14);
    Layout layout = puzzle.solution();
    for (int swaps = 1; swaps <= 8; ++swaps) {
        int a[2], b[2];
        do {
            a[0] = inner(random), a[1] = inner(random), b[0] = inner(random), b[1] = inner(random);
        } while (onRimOrHint(a[0], a[1]) || onRimOrHint(b[0], b[1]) ||
                 (a[0] == b[0] && a[1] == b[1]));
        swapSquares(layout, a[0], a[1], b[0], b[1]);
        const std::vector<Edge> expected = puzzle.mismatches(layout);
        ASSERT_FALSE(expected.empty());
        const BoardCheck result = check(layout);
        SCOPED_TRACE(swaps);
        EXPECT_EQ(edgesOf(result), expected);
        EXPECT_EQ(result.score(), 480 - static_cast<int>(expected.size()));
        // Interior pieces swapped among themselves break no rule, however badly they fit.
        EXPECT_TRUE(result.ruleBreaks.empty()) << rules(result);
        for (const Mismatch& m : result.mismatches)
            EXPECT_NE(m.firstColour, m.secondColour);
    }
}

TEST_F(ShowCheck, TurnedPieceMismatchesOnEverySideThatChangedColour) {
    Layout layout = puzzle.solution();
    const int s = slotOf(4, 9);
    layout.rotation[s] = (layout.rotation[s] + 1) % 4;
    const BoardCheck result = check(layout);
    EXPECT_EQ(edgesOf(result), puzzle.mismatches(layout));
    EXPECT_TRUE(result.ruleBreaks.empty()) << rules(result);
}

TEST_F(ShowCheck, PartlyFilledBoardCountsOnlyBetweenFilledNeighbours) {
    Layout layout = puzzle.solution();
    std::mt19937 random(9);
    int emptied = 0;
    for (int s = 0; s < 256; ++s)
        if (s != hintSlot && random() % 3 == 0) {
            layout.piece[s] = -1;
            ++emptied;
        }
    swapSquares(layout, 5, 5, 10, 11);
    swapSquares(layout, 2, 3, 12, 4);
    int joined = 0;
    const std::vector<Edge> expected = puzzle.mismatches(layout, &joined);
    const BoardCheck result = check(layout);
    EXPECT_FALSE(result.full());
    EXPECT_EQ(result.filled, 256 - emptied);
    EXPECT_EQ(result.joinedEdges, joined);
    EXPECT_EQ(edgesOf(result), expected);
    EXPECT_TRUE(result.ruleBreaks.empty()) << rules(result);

    const std::string report =
        reportText("part.txt", {BoardFormat::grid, puzzle.codes(layout)}, result);
    EXPECT_NE(report.find(std::to_string(256 - emptied) + " of 256 squares filled"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("not a full board, so no score"), std::string::npos) << report;
    EXPECT_EQ(report.find("score 4"), std::string::npos) << report;
}

TEST_F(ShowCheck, BoardFileMayLeaveTheHintSquareEmptyButARecordBoardMustBeFull) {
    Layout layout = puzzle.solution();
    layout.piece[hintSlot] = -1;
    const BoardCheck grid = check(layout);
    EXPECT_TRUE(grid.ruleBreaks.empty()) << rules(grid);
    ASSERT_EQ(grid.notes.size(), 1u);
    EXPECT_NE(grid.notes[0].find("hint square (7, 7) is empty"), std::string::npos);

    const BoardCheck record = check(layout, BoardFormat::record);
    EXPECT_TRUE(mentions(record, "a record board is full, but 1 square is empty: (7, 7)"))
        << rules(record);
}

TEST_F(ShowCheck, PieceStandingTwiceIsARuleBreak) {
    Layout layout = puzzle.solution();
    const int from = slotOf(3, 3);
    const int to = slotOf(3, 4);
    layout.piece[to] = layout.piece[from];
    layout.rotation[to] = layout.rotation[from];
    const BoardCheck result = check(layout);
    EXPECT_TRUE(mentions(result, std::string("piece ") + std::to_string(layout.piece[from] + 1) +
                                     " stands 2 times: on (3, 3) and (3, 4)"))
        << rules(result);
}

TEST_F(ShowCheck, HintPieceOffItsSquareOrTurnedIsARuleBreak) {
    Layout moved = puzzle.solution();
    swapSquares(moved, 7, 7, 7, 9);
    const BoardCheck away = check(moved);
    EXPECT_TRUE(mentions(away, "the hint square (7, 7) holds piece")) << rules(away);
    EXPECT_TRUE(mentions(away, "the hint piece 139 stands on (7, 9)")) << rules(away);

    Layout turned = puzzle.solution();
    turned.rotation[hintSlot] = 0;
    const BoardCheck result = check(turned);
    EXPECT_TRUE(mentions(result,
                         "holds piece 139 in rotation 0, not the hint piece 139 in "
                         "rotation 2"))
        << rules(result);
}

TEST_F(ShowCheck, EdgesFacingTheOutlineMustShowTheBorder) {
    Layout layout = puzzle.solution();
    swapSquares(layout, 0, 5, 6, 6);
    const BoardCheck result = check(layout);
    ASSERT_FALSE(result.rimFaults.empty());
    EXPECT_EQ(result.rimFaults[0].square, (Square{0, 5}));
    EXPECT_EQ(result.rimFaults[0].side, Side::top);
    EXPECT_TRUE(mentions(result, "the outline with another colour than the border"))
        << rules(result);
}

TEST_F(ShowCheck, ColoursOtherThanThePieceFileGivesAreARuleBreak) {
    // A record board of one puzzle checked against the pieces of another.
    const GeneratedPuzzle other{78};
    ReadBoard board{BoardFormat::record, puzzle.codes(puzzle.solution())};
    const BoardCheck result = checkBoard(board, other.pieces, "480.tsr");
    EXPECT_TRUE(mentions(result, "other colours than the piece file gives its piece"))
        << rules(result);
}

TEST_F(ShowCheck, TheListFlagOfTheSolversBoardIsNoFault) {
    ReadBoard board{BoardFormat::record, puzzle.codes(puzzle.solution())};
    for (PieceCode& code : board.slots)
        code |= lastInListBit;
    const BoardCheck result = checkBoard(board, puzzle.pieces, "480.tsr");
    EXPECT_TRUE(result.ruleBreaks.empty()) << rules(result);
    EXPECT_EQ(result.score(), 480);
}

TEST_F(ShowCheck, ScoreInARecordBoardsNameMustAgree) {
    Layout layout = puzzle.solution();
    swapSquares(layout, 4, 4, 11, 10);
    const int score = 480 - static_cast<int>(puzzle.mismatches(layout).size());
    const std::string right = std::to_string(score);
    const std::string wrong = std::to_string(score - 1);

    const BoardCheck agrees =
        check(layout, BoardFormat::record, std::string("/runs/") + right + ".tsr");
    EXPECT_TRUE(agrees.ruleBreaks.empty()) << rules(agrees);
    EXPECT_EQ(agrees.nameScore, score);

    const BoardCheck copy = check(layout, BoardFormat::record, right + "-2.tsr");
    EXPECT_TRUE(copy.ruleBreaks.empty()) << rules(copy);

    const BoardCheck differs = check(layout, BoardFormat::record, wrong + ".tsr");
    EXPECT_TRUE(mentions(differs, std::string("the file name says score ") + wrong +
                                      ", but the board scores " + right))
        << rules(differs);

    // A board file's name is not read for a score, nor is a name the solver does not make.
    EXPECT_TRUE(check(layout, BoardFormat::grid, wrong + ".txt").ruleBreaks.empty());
    for (const std::string& name : {std::string("best.tsr"), "0" + wrong + ".tsr"})
        EXPECT_FALSE(check(layout, BoardFormat::record, name).nameScore) << name;
}

TEST(ShowColours, FileColourUndoesTheColourMap) {
    for (int file = 0; file < colourCount; ++file)
        EXPECT_EQ(fileColour(colourMap[file]), file);
}
