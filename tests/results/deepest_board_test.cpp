#include "results/deepest_board.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/program_state.h"
#include "base/settings.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "results/grid_writing.h"
#include "results/results_state.h"
#include "run/resets.h"
#include "search/board_geometry.h"
#include "search/search_state.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

// A generated puzzle's planted solution, in a fresh current directory; the board kept so far
// is none.
class DeepestBoard : public testing::Test {
protected:
    void SetUp() override {
        resetProgram();
        const PlantedPuzzle plantedPuzzle = generatePuzzle({11, 14, 4});
        writeFile(dir.file("k7pieces.txt"), pieceFileText(plantedPuzzle));
        readPieceFile(dir.file("k7pieces.txt").c_str());
        buildCandidateTables();
        for (int slot = 0; slot < 256; ++slot)
            solution[slot] = rotate(plantedPuzzle.slotRotation[slot],
                                    puzzle.pieceCodes[plantedPuzzle.slotPiece[slot]]);
        std::snprintf(program.settings.workingDirectory, pathCapacity, "%s", dir.path.c_str());
    }
    // The solution up to `depth` in fill order, with the hint, as the search would hold it.
    std::array<PieceCode, 256> boardTo(int depth) const {
        std::array<PieceCode, 256> slots{};
        slots.fill(emptyCode);
        slots[hintSlot] = solution[hintSlot];
        for (int d = 0; d <= depth; ++d)
            slots[fillOrder[d]] = solution[fillOrder[d]];
        return slots;
    }
    // A run that placed the solution to `depth`, with `mismatches`, as the search keeps it.
    void runReached(int depth, int mismatches) {
        resetRun();
        search.startBoard = boardTo(-1);
        armDeepestBoard();
        search.board = boardTo(depth);
        search.mismatchCount = mismatches;
        if (depth >= search.keepFrom) noteDeepPlacement(depth);
        takeDeeperBoard();
    }
    // These pieces where another puzzle's solution puts them, to depth 100 and the hint.
    std::array<PieceCode, 256> otherPuzzlesBoard() const {
        const PlantedPuzzle other = generatePuzzle({12, 14, 4});
        std::array<PieceCode, 256> slots = boardTo(-1);
        for (int d = 0; d <= 100; ++d) {
            const int slot = fillOrder[d];
            slots[slot] =
                rotate(other.slotRotation[slot], puzzle.pieceCodes[other.slotPiece[slot]]);
        }
        return slots;
    }
    // `slots` with the last square in fill order filled as the solution fills it.
    std::array<PieceCode, 256> withLastSquare(std::array<PieceCode, 256> slots) const {
        slots[fillOrder[depthCount - 1]] = solution[fillOrder[depthCount - 1]];
        return slots;
    }
    CurrentTempDir dir;
    std::array<PieceCode, 256> solution{};
};

TEST_F(DeepestBoard, ADeeperBoardIsKeptWrittenAndReadBackButNeverAShallowerOne) {
    runReached(200, 0);
    saveDeepestBoard(false);
    const std::string first = readFile(dir.file("deepest.txt"));
    EXPECT_EQ(linesOf(first)[0], "# deepest board: depth 200, 202 pieces, 0 mismatched edges");
    runReached(150, 0);
    saveDeepestBoard(false);
    EXPECT_EQ(readFile(dir.file("deepest.txt")), first) << "a shallower board is no news";
    runReached(230, 0);
    EXPECT_EQ(results.deepestBoard.depth, 230);
    EXPECT_TRUE(results.deepestBoard.unsaved);
    saveDeepestBoard(false);
    resetProgram();
    readPieceFile(dir.file("k7pieces.txt").c_str());
    buildCandidateTables();
    readDeepestBoard();
    EXPECT_EQ(results.deepestBoard.depth, 230);
    EXPECT_EQ(results.deepestBoard.board, boardTo(230));
    EXPECT_FALSE(results.deepestBoard.unsaved);
}

TEST_F(DeepestBoard, ARunFromABoardFileCountsTheDepthItPlacedAndKeepsNoSquareBeyond) {
    // A board file that holds the last corner: the run placed the squares to depth 60.
    resetRun();
    search.startBoard = withLastSquare(boardTo(-1));
    armDeepestBoard();
    search.board = withLastSquare(boardTo(60));
    noteDeepPlacement(60);
    takeDeeperBoard();
    EXPECT_EQ(results.deepestBoard.depth, 60);
    EXPECT_EQ(results.deepestBoard.board, boardTo(60));
    saveDeepestBoard(false);
    runReached(61, 0);  // a later plain start that goes one deeper keeps its board
    EXPECT_EQ(results.deepestBoard.depth, 61);
}

TEST_F(DeepestBoard, ThePlacementThatBeatsTheKeptBoardIsCopiedAndRaisesTheBar) {
    runReached(220, 0);
    armDeepestBoard();
    EXPECT_EQ(search.keepFrom, 220);
    search.board = boardTo(220);
    search.mismatchCount = 0;
    noteDeepPlacement(220);  // as deep and no fewer mismatches: nothing kept
    EXPECT_FALSE(search.deeperBoardKept);
    search.board = boardTo(221);
    noteDeepPlacement(221);
    EXPECT_TRUE(search.deeperBoardKept);
    EXPECT_EQ(search.keepFrom, 221);
}

TEST_F(DeepestBoard, AFileThatIsNoBoardOfThesePiecesIsMovedAsideWithAMessage) {
    // The board file of the solution to depth 100 with its first board cell replaced.
    const auto withFirstCell = [this](const std::string& cell) {
        std::string text = gridText(boardTo(100), "deepest board");
        const std::size_t first = text.find('\n', text.find('\n') + 1) + 1;
        return text.replace(first, text.find(' ', first) - first, cell);
    };
    const PieceCode hint = boardTo(-1)[hintSlot];
    const struct {
        const char* name;
        std::string text;
        const char* problem;
    } cases[] = {
        {"NotAGrid", "hello\n", "it has 0 board lines, not 16"},
        {"NotAPiece", withFirstCell("x/1"), "cell 1 is not a piece"},
        {"TheHintPieceTwice",
         withFirstCell(std::to_string(pieceNumberOf(hint) + 1) + "/" +
                       std::to_string(rotationOf(hint))),
         "stands twice"},
        {"AnotherPuzzlesBoard", gridText(otherPuzzlesBoard(), "deepest board"),
         "is no deepest board"},
        {"AGapInFillOrder", gridText(withLastSquare(boardTo(100)), "deepest board"),
         "the square of depth 101 is empty, though it holds a piece at depth 254"},
    };
    for (const auto& c : cases) {
        writeFile(dir.file("deepest.txt"), c.text);
        ConsoleCapture console;
        readDeepestBoard();
        EXPECT_EQ(results.deepestBoard.depth, -1) << c.name;
        EXPECT_NE(console.err().find(c.problem), std::string::npos) << c.name << console.err();
        EXPECT_NE(console.err().find("; it is kept as " + dir.path + "/deepest.txt.damaged-"),
                  std::string::npos)
            << c.name << console.err();
        EXPECT_FALSE(std::filesystem::exists(dir.file("deepest.txt"))) << c.name;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path))
            if (entry.path().filename().string().starts_with("deepest.txt.damaged-"))
                std::filesystem::remove(entry.path());
    }
}

TEST(DeepestBoardRule, TheBetterBoardIsDeeperOrAsDeepWithFewerMismatchedEdges) {
    EXPECT_TRUE(isBetterDeepest({221, 9}, {220, 0}));
    EXPECT_TRUE(isBetterDeepest({220, 3}, {220, 4}));
    EXPECT_FALSE(isBetterDeepest({220, 4}, {220, 4}));
    EXPECT_FALSE(isBetterDeepest({219, 0}, {220, 4}));
    EXPECT_TRUE(isBetterDeepest({0, 0}, {-1, 0}));
}

}  // namespace
