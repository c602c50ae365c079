// The built-in piece groups: 60 ways of splitting the pieces into a first and a second list,
// one of which steers the first depths of each run.
#pragma once

#include <array>
#include <cstdint>

// Where the two lists of one group lie in the pieces of the groups and how long they are.
struct PieceGroup {
    std::uint32_t firstStart;   // position of the first list among the pieces
    std::int32_t firstCount;    // length of the first list: 150 or 149
    std::uint32_t secondStart;  // position of the second list, directly after the first
    std::int32_t secondCount;   // length of the second list: 103 or 104
    friend bool operator==(const PieceGroup&, const PieceGroup&) = default;
};

// Number of built-in groups.
inline constexpr int groupCount = 60;
// Pieces in the two lists of one group together: all but the hint piece and two corners.
inline constexpr int groupSize = 253;

// The built-in groups, constant: made at compile time.
struct BuiltInGroups {
    // The 60 groups, numbered 0 to 59.
    std::array<PieceGroup, groupCount> table;
    // Piece numbers of all groups: group g takes the groupSize entries from groupSize * g,
    // first its first list, then its second list.
    std::array<std::uint8_t, groupCount * groupSize> pieces;
};
const BuiltInGroups& builtInGroups();

// Kind of a piece taken from its number alone: 2 for a corner (0 to 3), 1 for an edge piece
// (4 to 59), 0 for an interior piece (60 and above).
constexpr int pieceType(int piece) {
    return piece <= 3 ? 2 : piece <= 59 ? 1 : 0;
}
