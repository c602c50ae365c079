// The rules that every piece group keeps, whether built in or read from a groups file: which
// pieces its two lists hold and how many of each kind. The built-in table is checked against
// them at compile time, a groups file when it is read.
#pragma once

#include <cstdint>
#include <span>

#include "puzzle/piece_code.h"
#include "run/piece_groups.h"

enum class GroupRule {
    kept,                // the group keeps every rule
    pieceRepeated,       // a piece stands in the group twice
    hintPiece,           // the hint piece stands in a list
    cornerInSecondList,  // a corner piece stands in the second list
    firstListLength,     // the first list holds other than 149 or 150 pieces
    groupLength,         // the two lists hold other than 253 pieces together
    firstListCorners,    // the first list holds other than 2 corners
    firstListEdges,      // the first list holds other than 22 or 23 edge pieces
    firstListInterior,   // the first list holds other than 125 or 126 interior pieces
    secondListEdges,     // the second list holds other than 33 or 34 edge pieces
    secondListInterior,  // the second list holds other than 69 or 70 interior pieces
};

// The first rule a group breaks: for a rule about one piece, where that piece stands (its
// position in the first list, then on in the second), and for a count, the count found.
struct GroupCheck {
    GroupRule rule = GroupRule::kept;
    int position = -1;
    int count = 0;
};

// Checks the two lists of a group, pieces first (in list order), then the counts.
constexpr GroupCheck checkGroup(std::span<const std::uint8_t> first,
                                std::span<const std::uint8_t> second) {
    bool seen[256] = {};
    int ofType[2][3] = {};  // by list, then by pieceType
    const int firstCount = static_cast<int>(first.size());
    const int total = firstCount + static_cast<int>(second.size());
    for (int i = 0; i < total; ++i) {
        const bool inFirst = i < firstCount;
        const int piece = inFirst ? first[i] : second[i - firstCount];
        if (seen[piece]) return {GroupRule::pieceRepeated, i, 0};
        if (piece == hintPiece) return {GroupRule::hintPiece, i, 0};
        if (!inFirst && pieceType(piece) == 2) return {GroupRule::cornerInSecondList, i, 0};
        seen[piece] = true;
        ++ofType[inFirst ? 0 : 1][pieceType(piece)];
    }
    struct Count {
        GroupRule rule;
        int found, low, high;
    };
    const Count counts[] = {
        {GroupRule::firstListLength, firstCount, 149, 150},
        {GroupRule::groupLength, total, groupSize, groupSize},
        {GroupRule::firstListCorners, ofType[0][2], 2, 2},
        {GroupRule::firstListEdges, ofType[0][1], 22, 23},
        {GroupRule::firstListInterior, ofType[0][0], 125, 126},
        {GroupRule::secondListEdges, ofType[1][1], 33, 34},
        {GroupRule::secondListInterior, ofType[1][0], 69, 70},
    };
    for (const Count& c : counts)
        if (c.found < c.low || c.found > c.high) return {c.rule, -1, c.found};
    return {};
}
