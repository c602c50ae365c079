#include "tests/tools/common/show_test_boards.h"

#include <stdexcept>
#include <utility>

#include "search/board_geometry.h"
#include "tools/common/board_reading.h"

GeneratedPuzzle::GeneratedPuzzle(std::uint32_t seed) : puzzle(generatePuzzle({seed, 17, 5})) {
    writeFile(pieceFile(), pieceFileText(puzzle));
    const Reading<PieceTables> read = readPieces(pieceFile());
    if (!read.value) throw std::runtime_error(read.problem);
    pieces = *read.value;
}

Layout GeneratedPuzzle::solution() const {
    return {puzzle.slotPiece, puzzle.slotRotation};
}

std::array<PieceCode, 256> GeneratedPuzzle::codes(const Layout& layout) const {
    std::array<PieceCode, 256> slots{};
    for (int s = 0; s < 256; ++s)
        slots[s] = layout.piece[s] < 0 ? emptyCode
                                       : rotate(layout.rotation[s], pieces.codes[layout.piece[s]]);
    return slots;
}

std::vector<Edge> GeneratedPuzzle::mismatches(const Layout& layout, int* joined) const {
    // File colour on side k (right 0, bottom 1, left 2, top 3) of the square in slot s: the
    // generator wrote each piece turned back by its rotation r, so side k shows the colour
    // its file line gives at position k - r.
    const auto side = [&](int s, int k) {
        return puzzle.fileLines[layout.piece[s]][(k - layout.rotation[s] + 4) % 4];
    };
    std::vector<Edge> edges;
    int pairs = 0;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            const int here = slotOf(r, c);
            if (layout.piece[here] < 0) continue;
            if (c + 1 < 16 && layout.piece[slotOf(r, c + 1)] >= 0) {
                ++pairs;
                if (side(here, 0) != side(slotOf(r, c + 1), 2)) edges.push_back({r, c, true});
            }
            if (r + 1 < 16 && layout.piece[slotOf(r + 1, c)] >= 0) {
                ++pairs;
                if (side(here, 1) != side(slotOf(r + 1, c), 3)) edges.push_back({r, c, false});
            }
        }
    if (joined != nullptr) *joined = pairs;
    return edges;
}

void swapSquares(Layout& layout, int rowA, int colA, int rowB, int colB) {
    const int a = slotOf(rowA, colA);
    const int b = slotOf(rowB, colB);
    std::swap(layout.piece[a], layout.piece[b]);
    std::swap(layout.rotation[a], layout.rotation[b]);
}

int slotOf(int row, int col) {
    return squareSlot[row][col];
}
