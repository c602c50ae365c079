// Boards for the tests of tessaly-show: a generated puzzle with its planted solution, boards
// changed from it, and the mismatches of a board counted from the generator's own description
// of the pieces, apart from the code under test.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "puzzle/piece_code.h"
#include "puzzle/piece_file.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

// A piece and rotation on every board slot; piece -1 leaves the slot empty.
struct Layout {
    std::array<int, 256> piece;
    std::array<int, 256> rotation;
};

// An inner edge: the square (row, col) and its right neighbour when `across`, else the one below.
struct Edge {
    int row;
    int col;
    bool across;
    bool operator==(const Edge&) const = default;
};

// A generated puzzle whose piece file lies in a temporary directory.
struct GeneratedPuzzle {
    explicit GeneratedPuzzle(std::uint32_t seed);
    std::string pieceFile() const { return dir.file("k7pieces.txt"); }
    // The planted solution.
    Layout solution() const;
    // The slot words of a layout, built from the piece file read back.
    std::array<PieceCode, 256> codes(const Layout& layout) const;
    // Mismatched inner edges between filled squares, found from the generator's file colours
    // of every piece; `joined` gets the number of inner edges between filled squares.
    std::vector<Edge> mismatches(const Layout& layout, int* joined = nullptr) const;

    TempDir dir;
    PlantedPuzzle puzzle;
    PieceTables pieces;
};

// Swaps what two squares (row, column) hold, each piece keeping its rotation.
void swapSquares(Layout& layout, int rowA, int colA, int rowB, int colB);
// The slot of a square.
int slotOf(int row, int col);
