// Groups derived from deep boards admit the path of their own board, and the boards are chosen
// deepest first with different openings.
#include "tools/groups/group_derivation.h"

#include <gtest/gtest.h>

#include "run/group_rules.h"
#include "run/resets.h"
#include "run/run_setup.h"
#include "search/board_geometry.h"
#include "search/depth_windows.h"
#include "search/search_state.h"
#include "tools/gen/puzzle_generator.h"

namespace {

// The planted solution of a generated puzzle, as the deepest board of a run that reached
// `depth`: only its piece numbers matter here.
DeepBoard plantedBoard(std::uint32_t seed, int depth) {
    const PlantedPuzzle puzzle = generatePuzzle({seed, 17, 5});
    DeepBoard deep{{}, depth};
    deep.board.fill(emptyCode);
    for (int d = 0; d <= depth; ++d)
        deep.board[fillOrder[d]] = makePieceCode(puzzle.slotPiece[fillOrder[d]], 0, 0, 0, 0);
    return deep;
}

}  // namespace

TEST(GroupDerivation, EachGroupKeepsTheRulesAndAdmitsItsOwnBoardsPath) {
    for (const int depth : {254, 120, 30}) {
        const DeepBoard deep = plantedBoard(7, depth);
        std::vector<std::uint8_t> first, second;
        deriveGroup(deep, first, second);
        ASSERT_EQ(checkGroup(first, second).rule, GroupRule::kept) << "depth " << depth;

        // The board's own path through the tests of the first depths under its group.
        resetProgram();
        putGroup(setup.groups, 0, first, second);
        applyPieceGroup(0);
        int firstPlaced = 0;
        int secondPlaced = 0;
        for (int d = 0; d <= std::min(depth, 100); ++d) {
            const int p = pieceNumberOf(deep.board[fillOrder[d]]);
            EXPECT_GE(secondPlaced, runSecondListMinimum(d)) << "depth " << d;
            EXPECT_FALSE(d <= 99 && search.groupFlags.firstListBarred[p]) << "depth " << d;
            EXPECT_FALSE(d <= 63 && search.groupFlags.inFirstList[p]) << "depth " << d;
            EXPECT_FALSE(d <= 79 && search.groupFlags.inFirstList[p] && firstPlaced >= 6)
                << "depth " << d;
            firstPlaced += search.groupFlags.inFirstList[p];
            secondPlaced += !search.groupFlags.inFirstList[p] && search.groupFlags.inSecondList[p];
        }
    }
}

TEST(GroupDerivation, BoardsAreChosenDeepestFirstOncePerOpeningAndTakenInTurn) {
    // Boards 0 and 2 share their first 64 squares; 3 placed nothing.
    std::vector<DeepBoard> boards = {plantedBoard(1, 200), plantedBoard(2, 210),
                                     plantedBoard(1, 230), plantedBoard(3, -1),
                                     plantedBoard(4, 200)};
    EXPECT_EQ(chooseBoards(boards), (std::vector<int>{2, 1, 4}));
    std::vector<int> groupBoards;
    const RunGroups groups = deriveGroups(boards, groupBoards);
    ASSERT_EQ(groupBoards.size(), 60u);
    EXPECT_EQ(groupBoards[0], 2);
    EXPECT_EQ(groupBoards[3], 2);
    EXPECT_EQ(groupBoards[59], 4);
    EXPECT_EQ(groups.table[3], (PieceGroup{3 * groupSize, groups.table[0].firstCount,
                                           3 * groupSize + 150, groupSize - 150}));
    EXPECT_TRUE(std::equal(groups.pieces.begin(), groups.pieces.begin() + groupSize,
                           groups.pieces.begin() + 3 * groupSize));
}
