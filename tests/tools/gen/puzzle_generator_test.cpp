#include "tools/gen/puzzle_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "puzzle/piece_code.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "search/board_geometry.h"
#include "tests/test_support.h"

namespace {

namespace fs = std::filesystem;

using CodeBoard = std::array<std::array<PieceCode, boardSize>, boardSize>;

// Writes the puzzle's piece file, reads it back through the solver's reader and lays out
// the planted solution: the code of each square as the solver would see it.
CodeBoard layOutThroughPieceFile(const PlantedPuzzle& plantedPuzzle) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), pieceFileText(plantedPuzzle));
    readPieceFile(dir.file("k7pieces.txt").c_str());
    CodeBoard board{};
    for (int s = 0; s < 256; ++s) {
        const Square sq = slotSquare[s];
        board[sq.row][sq.col] =
            rotate(plantedPuzzle.slotRotation[s], puzzle.pieceCodes[plantedPuzzle.slotPiece[s]]);
    }
    return board;
}

void expectEveryPieceUsedOnce(const PlantedPuzzle& plantedPuzzle) {
    std::array<int, 256> uses{};
    for (int piece : plantedPuzzle.slotPiece) {
        ASSERT_GE(piece, 0);
        ASSERT_LT(piece, 256);
        ++uses[piece];
    }
    for (int piece = 0; piece < 256; ++piece)
        EXPECT_EQ(uses[piece], 1) << "piece " << piece;
}

void expectPerfectSolution(const CodeBoard& board) {
    for (int r = 0; r < boardSize; ++r)
        for (int c = 0; c < boardSize; ++c) {
            const PieceCode code = board[r][c];
            SCOPED_TRACE("square " + std::to_string(r) + "," + std::to_string(c));
            if (c + 1 < boardSize) {
                EXPECT_EQ(rightOf(code), leftOf(board[r][c + 1]));
                EXPECT_NE(rightOf(code), borderColour);
            }
            if (r + 1 < boardSize) {
                EXPECT_EQ(bottomOf(code), topOf(board[r + 1][c]));
                EXPECT_NE(bottomOf(code), borderColour);
            }
            EXPECT_EQ(topOf(code) == borderColour, r == 0);
            EXPECT_EQ(bottomOf(code) == borderColour, r == boardSize - 1);
            EXPECT_EQ(leftOf(code) == borderColour, c == 0);
            EXPECT_EQ(rightOf(code) == borderColour, c == boardSize - 1);
        }
}

TEST(GeneratorPlantedSolution, DefaultPuzzleSolvedByItsPlantedBoard) {
    const PlantedPuzzle plantedPuzzle = generatePuzzle({});
    expectEveryPieceUsedOnce(plantedPuzzle);
    expectPerfectSolution(layOutThroughPieceFile(plantedPuzzle));
}

TEST(GeneratorPlantedSolution, FewerColoursPuzzleSolvedByItsPlantedBoard) {
    const PlantedPuzzle plantedPuzzle =
        generatePuzzle({.seed = 99, .colours = 12, .rimColours = 4});
    expectEveryPieceUsedOnce(plantedPuzzle);
    expectPerfectSolution(layOutThroughPieceFile(plantedPuzzle));
}

TEST(GeneratorPieceOrder, CornersThenEdgesThenInteriorPieces) {
    layOutThroughPieceFile(generatePuzzle({.seed = 5}));
    for (int piece = 0; piece < 256; ++piece) {
        const int expected = piece < 4 ? 2 : piece < 60 ? 1 : 0;
        EXPECT_EQ(puzzle.borderCount[piece], expected) << "line " << piece + 1;
    }
}

TEST(GeneratorPieceOrder, HintPieceLiesOnHintSquareInRotationTwo) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        const PlantedPuzzle plantedPuzzle = generatePuzzle({.seed = seed});
        const int slot = squareSlot[hintSquare.row][hintSquare.col];
        EXPECT_EQ(plantedPuzzle.slotPiece[slot], hintPiece);
        EXPECT_EQ(plantedPuzzle.slotRotation[slot], 2);
    }
}

TEST(GeneratorPieceOrder, OtherPiecesComeInEveryRotation) {
    const PlantedPuzzle plantedPuzzle = generatePuzzle({});
    std::array<int, 4> seen{};
    for (int r : plantedPuzzle.slotRotation) {
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 4);
        ++seen[r];
    }
    for (int count : seen)
        EXPECT_GT(count, 20);
}

// File colour of every joint colour of the laid-out board, counted separately for the
// joints between two rim squares and for all others.
struct JointColourCounts {
    std::map<int, int> rim;
    std::map<int, int> interior;
};

JointColourCounts countJointColours(const CodeBoard& board) {
    std::array<int, colourCount> fileColourOf{};
    for (int f = 0; f < colourCount; ++f)
        fileColourOf[colourMap[f]] = f;
    const auto rim = [](int r, int c) { return onRim(r) || onRim(c); };
    JointColourCounts counts;
    for (int r = 0; r < boardSize; ++r)
        for (int c = 0; c < boardSize; ++c) {
            if (c + 1 < boardSize) {
                auto& tally = rim(r, c) && rim(r, c + 1) ? counts.rim : counts.interior;
                ++tally[fileColourOf[rightOf(board[r][c])]];
            }
            if (r + 1 < boardSize) {
                auto& tally = rim(r, c) && rim(r + 1, c) ? counts.rim : counts.interior;
                ++tally[fileColourOf[bottomOf(board[r][c])]];
            }
        }
    return counts;
}

void expectBalanced(const std::map<int, int>& tally, const std::vector<int>& palette, int joints) {
    int total = 0;
    for (const auto& [colour, count] : tally) {
        EXPECT_NE(std::find(palette.begin(), palette.end(), colour), palette.end())
            << "colour " << colour << " is not in the palette";
        total += count;
    }
    EXPECT_EQ(total, joints);
    const double fair = static_cast<double>(joints) / static_cast<double>(palette.size());
    for (int colour : palette) {
        const auto found = tally.find(colour);
        const int count = found == tally.end() ? 0 : found->second;
        EXPECT_LE(std::abs(count - fair), 1.0) << "colour " << colour << " used " << count;
    }
}

TEST(GeneratorColours, DefaultPalettesUsedEvenly) {
    const auto counts = countJointColours(layOutThroughPieceFile(generatePuzzle({.seed = 11})));
    expectBalanced(counts.rim, {1, 5, 9, 13, 17}, 60);
    expectBalanced(counts.interior, {2, 3, 4, 6, 7, 8, 10, 11, 12, 14, 15, 16, 18, 19, 20, 21, 22},
                   420);
}

TEST(GeneratorColours, ReducedPalettesUseOnlyTheirFirstColours) {
    const auto counts = countJointColours(
        layOutThroughPieceFile(generatePuzzle({.seed = 12, .colours = 12, .rimColours = 4})));
    expectBalanced(counts.rim, {1, 5, 9, 13}, 60);
    expectBalanced(counts.interior, {2, 3, 4, 6, 7, 8, 10, 11, 12, 14, 15, 16}, 420);
}

TEST(GeneratorColours, SingleColourPalettesAccepted) {
    const auto counts = countJointColours(
        layOutThroughPieceFile(generatePuzzle({.seed = 13, .colours = 1, .rimColours = 1})));
    expectBalanced(counts.rim, {1}, 60);
    expectBalanced(counts.interior, {2}, 420);
}

TEST(GeneratorOptionsCheck, OutOfRangeColourCountsRejected) {
    EXPECT_THROW(generatePuzzle({.colours = 0}), std::invalid_argument);
    EXPECT_THROW(generatePuzzle({.colours = 18}), std::invalid_argument);
    EXPECT_THROW(generatePuzzle({.rimColours = 0}), std::invalid_argument);
    EXPECT_THROW(generatePuzzle({.rimColours = 6}), std::invalid_argument);
}

TEST(GeneratorDeterminism, SameSeedGivesIdenticalFiles) {
    const PlantedPuzzle a = generatePuzzle({.seed = 42, .colours = 9, .rimColours = 3});
    const PlantedPuzzle b = generatePuzzle({.seed = 42, .colours = 9, .rimColours = 3});
    EXPECT_EQ(pieceFileText(a), pieceFileText(b));
    EXPECT_EQ(solutionBoardText(a), solutionBoardText(b));
}

TEST(GeneratorDeterminism, DifferentSeedsGiveDifferentFiles) {
    EXPECT_NE(pieceFileText(generatePuzzle({.seed = 1})),
              pieceFileText(generatePuzzle({.seed = 2})));
}

// The bundled puzzles must stay reproducible from their recorded commands; this also catches
// any change in the random draws, which would make old seeds give new puzzles.
TEST(GeneratorDeterminism, BundledPuzzlesMatchTheirSeeds) {
    struct Bundled {
        const char* folder;
        GeneratorOptions options;
    };
    for (const Bundled& bundled :
         {Bundled{"example", {.seed = 7}},
          Bundled{"practice", {.seed = 5, .colours = 14, .rimColours = 4}}}) {
        const fs::path folder = fs::path(TESSALY_SOURCE_DIR) / "puzzles" / bundled.folder;
        const PlantedPuzzle plantedPuzzle = generatePuzzle(bundled.options);
        EXPECT_EQ(readFile((folder / "k7pieces.txt").string()), pieceFileText(plantedPuzzle))
            << bundled.folder;
        EXPECT_EQ(readFile((folder / "solution.txt").string()), solutionBoardText(plantedPuzzle))
            << bundled.folder;
    }
}

TEST(GeneratorText, PieceFileLinesAreFourColoursRightBottomLeftTop) {
    const PlantedPuzzle plantedPuzzle = generatePuzzle({.seed = 3});
    const auto lines = linesOf(pieceFileText(plantedPuzzle));
    ASSERT_EQ(lines.size(), 256u);
    for (int piece = 0; piece < 256; ++piece) {
        const auto& f = plantedPuzzle.fileLines[piece];
        EXPECT_EQ(lines[piece], std::to_string(f[0]) + " " + std::to_string(f[1]) + " " +
                                    std::to_string(f[2]) + " " + std::to_string(f[3]));
    }
}

TEST(GeneratorText, SolutionListsSlotRowsFromTopSlotDownward) {
    const PlantedPuzzle plantedPuzzle = generatePuzzle({.seed = 4});
    const auto lines = linesOf(solutionBoardText(plantedPuzzle));
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[0].find('/'), std::string::npos) << "comment line holds a '/'";
    for (int k = 0; k < 16; ++k) {
        const std::string& line = lines[k + 1];
        ASSERT_EQ(line.size(), 16u * 6 - 1) << line;
        for (int j = 0; j < 16; ++j) {
            const int slot = (15 - k) * 16 + j;
            char expected[16];
            std::snprintf(expected, sizeof expected, "%3d/%d", plantedPuzzle.slotPiece[slot] + 1,
                          plantedPuzzle.slotRotation[slot]);
            EXPECT_EQ(line.substr(static_cast<std::size_t>(j) * 6, 5), expected) << "slot " << slot;
        }
    }
}

// Runs the built program in `dir` with `args` (shell words), its output in stdout.txt and
// stderr.txt there; returns its exit status.
int runGenerator(const TempDir& dir, const std::string& args) {
    const ProgramResult result = runProgram(std::string(TESSALY_GEN_BIN) + " " + args, dir.path);
    writeFile(dir.file("stdout.txt"), result.out);
    writeFile(dir.file("stderr.txt"), result.err);
    return result.status;
}

TEST(GeneratorProgram, WritesPieceFileAndSolution) {
    TempDir dir;
    ASSERT_EQ(runGenerator(dir, "--seed 3 --colours 12 --rim-colours 4 --solution sol.txt out.txt"),
              0)
        << readFile(dir.file("stderr.txt"));
    const PlantedPuzzle plantedPuzzle = generatePuzzle({.seed = 3, .colours = 12, .rimColours = 4});
    EXPECT_EQ(readFile(dir.file("out.txt")), pieceFileText(plantedPuzzle));
    const std::string solution = readFile(dir.file("sol.txt"));
    EXPECT_EQ(solution, solutionBoardText(plantedPuzzle));
    int cellLines = 0;
    for (const auto& line : linesOf(solution)) {
        if (line.find('/') == std::string::npos) continue;
        ++cellLines;
        EXPECT_EQ(std::count(line.begin(), line.end(), '/'), 16) << line;
    }
    EXPECT_EQ(cellLines, 16);
    EXPECT_EQ(readFile(dir.file("stdout.txt")), "");
}

TEST(GeneratorProgram, DefaultsMatchLibraryDefaults) {
    TempDir dir;
    ASSERT_EQ(runGenerator(dir, "out.txt"), 0) << readFile(dir.file("stderr.txt"));
    EXPECT_EQ(readFile(dir.file("out.txt")), pieceFileText(generatePuzzle({})));
    EXPECT_FALSE(fs::exists(dir.file("sol.txt")));
}

TEST(GeneratorProgram, BadArgumentsExitWithStatusTwoAndUsage) {
    const std::vector<std::string> bad{
        "",
        "--bogus out.txt",
        "--seed",
        "out.txt --colours",
        "--seed abc out.txt",
        "--seed -1 out.txt",
        "--seed 4294967296 out.txt",
        "--seed 12x out.txt",
        "--colours 0 out.txt",
        "--colours 18 out.txt",
        "--rim-colours 0 out.txt",
        "--rim-colours 6 out.txt",
        "one.txt two.txt",
    };
    for (const auto& args : bad) {
        SCOPED_TRACE("arguments: " + args);
        TempDir dir;
        EXPECT_EQ(runGenerator(dir, args), 2);
        const std::string err = readFile(dir.file("stderr.txt"));
        EXPECT_NE(err.find("usage: tessaly-gen"), std::string::npos) << err;
        EXPECT_EQ(readFile(dir.file("stdout.txt")), "");
    }
}

// An output that cannot be written is a fault of the run, not of the command line.
TEST(GeneratorProgram, UnwritableOutputsExitWithStatusOneAndNoUsage) {
    for (const std::string args :
         {"missing-dir/out.txt", "--solution missing-dir/sol.txt out.txt"}) {
        SCOPED_TRACE("arguments: " + args);
        TempDir dir;
        EXPECT_EQ(runGenerator(dir, args), 1);
        const std::string err = readFile(dir.file("stderr.txt"));
        EXPECT_NE(err.find("cannot write missing-dir/"), std::string::npos) << err;
        EXPECT_EQ(err.find("usage:"), std::string::npos) << err;
    }
}

}  // namespace
