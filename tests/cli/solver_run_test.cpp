// The built solver on a small generated puzzle: it reaches full boards and every record
// board it writes holds a full board whose mismatches agree with the score in its name.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "results/board_files.h"
#include "search/board_geometry.h"
#include "tests/test_support.h"

namespace {

// Mismatched inner edges of a full board, after checking that every slot holds a real code
// of a distinct piece and that the outline is all border.
int recountMismatches(const std::array<PieceCode, 256>& slots) {
    std::set<int> pieces;
    std::array<std::array<PieceCode, 16>, 16> grid{};
    for (int s = 0; s < 256; ++s) {
        const PieceCode code = slots[s] & ~lastInListBit;
        const int piece = pieceNumberOf(code);
        EXPECT_GE(piece, 0) << "slot " << s;
        if (piece < 0) return -1;
        EXPECT_EQ(code, puzzle.rotationTable[4 * piece + rotationOf(code)].code) << "slot " << s;
        EXPECT_TRUE(pieces.insert(piece).second) << "piece " << piece << " stands twice";
        grid[slotSquare[s].row][slotSquare[s].col] = code;
    }
    EXPECT_EQ(grid[7][7], rotate(2, puzzle.pieceCodes[138]));
    int mismatches = 0;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(topOf(grid[0][i]), borderColour);
        EXPECT_EQ(bottomOf(grid[15][i]), borderColour);
        EXPECT_EQ(leftOf(grid[i][0]), borderColour);
        EXPECT_EQ(rightOf(grid[i][15]), borderColour);
        for (int j = 0; j + 1 < 16; ++j) {
            mismatches += rightOf(grid[i][j]) != leftOf(grid[i][j + 1]);
            mismatches += bottomOf(grid[j][i]) != topOf(grid[j + 1][i]);
        }
    }
    return mismatches;
}

}  // namespace

TEST(SolverRun, ReachesFullBoardsAndEveryRecordBoardChecksOut) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), quickBoardPieces());
    readPieceFile(dir.file("k7pieces.txt").c_str());
    buildCandidateTables();
    const FixedSeeds seeds(quickBoardSeeds);
    const ProgramResult result = runUntil({TESSALY_BIN}, dir.path, "Board is saved in ");
    EXPECT_EQ(result.status, 0) << "a stop saves the statistics and ends with status 0";
    const std::string& printed = result.out;
    // The first start in a directory finds no statistics file.
    EXPECT_EQ(result.err, "could not open total.txt\n");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path))
        if (entry.path().extension() == ".tsr") names.push_back(entry.path().filename());
    EXPECT_FALSE(names.empty()) << printed;
    EXPECT_NE(printed.find("NEW RECORD!!!"), std::string::npos) << printed;
    for (const std::string& name : names) {
        const auto slots = decodeRecordBoard(readFile(dir.file(name)));
        ASSERT_TRUE(slots.has_value()) << name;
        EXPECT_EQ(480 - recountMismatches(*slots), std::stoi(name)) << name;
        EXPECT_NE(printed.find("Board is saved in " + dir.path + "/" + name + "\n"),
                  std::string::npos)
            << name;
    }
}
