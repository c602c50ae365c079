#include "results/board_rules.h"

#include <bitset>

namespace {

// Whether `code` on `slot` shows the border colour on every side that faces the outline.
bool outlineIsBorder(int slot, PieceCode code) {
    for (const Side side : {Side::top, Side::right, Side::bottom, Side::left})
        if (facesOutline(slotSquare[slot], side) && colourOn(code, side) != borderColour)
            return false;
    return true;
}

}  // namespace

bool showsItsColours(PieceCode code, const PieceTables& pieces) {
    const int piece = pieceNumberOf(code);
    return piece >= 0 && piece < pieceCount &&
           (code & ~lastInListBit) == rotate(rotationOf(code), pieces.codes[piece]);
}

int mismatchedEdges(const std::array<PieceCode, 256>& slots) {
    int mismatches = 0;
    forEachJoinedEdge(slots, [&mismatches](const JoinedEdge& edge) {
        mismatches += edge.firstColour != edge.secondColour;
    });
    return mismatches;
}

std::string boardRuleBreak(const std::array<PieceCode, 256>& slots, const PieceTables& pieces) {
    for (const PieceCode code : slots)
        if (code != emptyCode && !showsItsColours(code, pieces))
            return "a square holds no piece of these pieces";
    // Every filled square shows its piece's colours: the hint piece in rotation 2 is its code.
    if (!isHintInPlace(slots[hintSlot])) return "the hint piece is not in place";
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
