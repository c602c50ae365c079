#include "results/board_rules.h"

#include <bitset>

#include "search/board_geometry.h"

namespace {

// Whether `code` on `slot` shows the border colour on every side that faces the outline.
bool outlineIsBorder(int slot, PieceCode code) {
    const Square square = slotSquare[slot];
    return (square.row != 0 || topOf(code) == borderColour) &&
           (square.row != boardSize - 1 || bottomOf(code) == borderColour) &&
           (square.col != 0 || leftOf(code) == borderColour) &&
           (square.col != boardSize - 1 || rightOf(code) == borderColour);
}

}  // namespace

int mismatchedEdges(const std::array<PieceCode, 256>& slots) {
    int mismatches = 0;
    for (int row = 0; row < boardSize; ++row)
        for (int col = 0; col < boardSize; ++col) {
            const PieceCode here = slots[squareSlot[row][col]];
            if (here == emptyCode) continue;
            if (col + 1 < boardSize) {
                const PieceCode right = slots[squareSlot[row][col + 1]];
                mismatches += right != emptyCode && rightOf(here) != leftOf(right);
            }
            if (row + 1 < boardSize) {
                const PieceCode below = slots[squareSlot[row + 1][col]];
                mismatches += below != emptyCode && bottomOf(here) != topOf(below);
            }
        }
    return mismatches;
}

std::string boardRuleBreak(const std::array<PieceCode, 256>& slots, const PieceTables& pieces) {
    for (int slot = 0; slot < 256; ++slot) {
        const PieceCode code = slots[slot];
        const int piece = pieceNumberOf(code);
        if (code != emptyCode &&
            (piece < 0 || piece >= pieceCount ||
             (code & ~lastInListBit) != rotate(rotationOf(code), pieces.codes[piece])))
            return "a square holds no piece of these pieces";
    }
    if (slots[hintSlot] == emptyCode ||
        (slots[hintSlot] & ~lastInListBit) != rotate(2, pieces.codes[hintPiece]))
        return "the hint piece is not in place";
    std::bitset<pieceCount> placed;
    for (int slot = 0; slot < 256; ++slot) {
        if (slots[slot] == emptyCode) continue;
        const int piece = pieceNumberOf(slots[slot]);
        if (placed.test(piece)) return "piece " + std::to_string(piece + 1) + " stands twice";
        placed.set(piece);
        if (!outlineIsBorder(slot, slots[slot]))
            return "a piece faces the outline with another colour than the border";
    }
    return {};
}
