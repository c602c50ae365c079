// The rules that every piece group keeps, whether built in or read from a groups file: which
// pieces its two lists hold and how many of each kind. The built-in table is checked against
// them at compile time, a groups file when it is read.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "puzzle/piece_code.h"
#include "run/piece_groups.h"

enum class GroupRule {
    kept,                // the group keeps every rule
    pieceRepeated,       // a piece stands in the group twice
    hintPiece,           // the hint piece stands in a list
    cornerInSecondList,  // a corner piece stands in the second list
    firstListLength,     // the first list holds too few or too many pieces
    groupLength,         // the two lists hold other than every piece but the hint and two corners
    firstListCorners,    // the first list holds too few or too many corners
    firstListEdges,      // the first list holds too few or too many edge pieces
    firstListInterior,   // the first list holds too few or too many interior pieces
    secondListEdges,     // the second list holds too few or too many edge pieces
    secondListInterior,  // the second list holds too few or too many interior pieces
};

// How many pieces a count rule allows, from `low` to `high`.
struct CountRange {
    int low, high;
};
// The shape of every group: the counts its lists hold, by the rule that checks each (those of
// the rules about one piece are unused). The checker, the messages of the groups file and the
// derivation of groups all read them here.
inline constexpr std::array<CountRange, 11> groupCounts = [] {
    std::array<CountRange, 11> counts{};
    const auto set = [&counts](GroupRule rule, int low, int high) {
        counts[static_cast<std::size_t>(rule)] = {low, high};
    };
    set(GroupRule::firstListLength, 149, 150);
    set(GroupRule::groupLength, groupSize, groupSize);
    set(GroupRule::firstListCorners, 2, 2);
    set(GroupRule::firstListEdges, 22, 23);
    set(GroupRule::firstListInterior, 125, 126);
    set(GroupRule::secondListEdges, 33, 34);
    set(GroupRule::secondListInterior, 69, 70);
    return counts;
}();
constexpr CountRange countOf(GroupRule rule) {
    return groupCounts[static_cast<std::size_t>(rule)];
}

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
        int found;
    };
    const Count counts[] = {
        {GroupRule::firstListLength, firstCount},      {GroupRule::groupLength, total},
        {GroupRule::firstListCorners, ofType[0][2]},   {GroupRule::firstListEdges, ofType[0][1]},
        {GroupRule::firstListInterior, ofType[0][0]},  {GroupRule::secondListEdges, ofType[1][1]},
        {GroupRule::secondListInterior, ofType[1][0]},
    };
    for (const Count& c : counts)
        if (c.found < countOf(c.rule).low || c.found > countOf(c.rule).high)
            return {c.rule, -1, c.found};
    return {};
}
