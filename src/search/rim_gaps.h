// The rim as the search fills it: the 60 rim squares clockwise, the sides by which a piece on
// a rim square meets its rim neighbours, and for every depth whose placement the rim look-ahead
// tests, the rim squares still empty once that depth is filled. All are compile-time constants.
#pragma once

#include <array>
#include <cstdint>

#include "puzzle/piece_code.h"
#include "search/board_geometry.h"

// The 60 rim squares clockwise from the top-left corner: row 0, column 15 downwards, row 15
// leftwards, column 0 upwards.
inline constexpr int rimLength = 60;
constexpr Square rimSquare(int i) {
    if (i < 15) return {0, i};
    if (i < 30) return {i - 15, 15};
    if (i < 45) return {15, 45 - i};
    return {60 - i, 0};
}

// The side of a rim square that faces the next rim square clockwise, and the side that faces
// the one before it.
constexpr Side outSide(Square sq) {
    if (sq.row == 0 && sq.col < 15) return Side::right;
    if (sq.col == 15 && sq.row < 15) return Side::bottom;
    if (sq.row == 15 && sq.col > 0) return Side::left;
    return Side::top;
}
constexpr Side inSide(Square sq) {
    if (sq.row == 0 && sq.col > 0) return Side::left;
    if (sq.col == 15 && sq.row > 0) return Side::top;
    if (sq.row == 15 && sq.col < 15) return Side::right;
    return Side::bottom;
}

// The empty rim squares once the square of a depth is filled, clockwise: how many, which of
// them are corner squares (bit i for the i-th), and the filled squares at both ends, whose
// pieces give the colour the run must start from and the one it must end at.
struct RimGap {
    int length = 0;
    std::uint32_t corners = 0;
    int edges = 0;  // the edge squares among them
    // The longest run of edge squares among them, from runStart up to runEnd.
    int runStart = 0;
    int runEnd = 0;
    int startDepth = -1;
    int startSlot = 0;
    Side startSide = Side::right;
    int endDepth = -1;
    int endSlot = 0;
    Side endSide = Side::right;
};

// The depth of each board slot, -1 for the hint's.
inline constexpr std::array<int, 256> depthOfSlot = [] {
    std::array<int, 256> depths{};
    depths.fill(-1);
    for (int d = 0; d < depthCount; ++d)
        depths[fillOrder[d]] = d;
    return depths;
}();

// The depth of the i-th rim square clockwise.
constexpr int rimDepth(int i) {
    const Square sq = rimSquare(i);
    return depthOfSlot[squareSlot[sq.row][sq.col]];
}

constexpr RimGap rimGapAt(int depth) {
    int first = -1;
    int last = -1;
    for (int i = 0; i < rimLength; ++i)
        if (rimDepth(i) > depth) {
            if (first < 0) first = i;
            last = i;
        }
    RimGap gap;
    gap.length = last - first + 1;
    for (int i = first, run = 0; i <= last; ++i) {
        const Square sq = rimSquare(i);
        if (squareKind[squareSlot[sq.row][sq.col]] == 2) {
            gap.corners |= 1u << (i - first);
            run = 0;
            continue;
        }
        ++gap.edges;
        if (++run > gap.runEnd - gap.runStart) {
            gap.runEnd = i - first + 1;
            gap.runStart = gap.runEnd - run;
        }
    }
    const Square start = rimSquare(first - 1);
    const Square end = rimSquare(last + 1);
    gap.startDepth = rimDepth(first - 1);
    gap.startSlot = squareSlot[start.row][start.col];
    gap.startSide = outSide(start);
    gap.endDepth = rimDepth(last + 1);
    gap.endSlot = squareSlot[end.row][end.col];
    gap.endSide = inSide(end);
    return gap;
}

// The first depth whose rim placements are tested: square (0, 12), where the arc's top end
// turns towards the last corners. Earlier rim placements are seldom doomed (and then by far
// less of the search below them), and their tests would walk twice as much rim.
inline constexpr int firstRimCheckDepth = 191;

// The rim squares whose placements the look-ahead follows, below the last depth (the search
// tries only exact fits at the last square).
constexpr bool followsRim(int depth) {
    return depth >= firstRimCheckDepth && depth < depthCount - 1 &&
           squareKind[fillOrder[depth]] != 0;
}

// The depth of the corner (0, 15).
inline constexpr int topRightCornerDepth = 200;
static_assert(fillSquares[topRightCornerDepth] == Square{0, 15});

// The rim squares whose placements are tested: all that are followed but the corner (0, 15).
// When the rim could close before the corner is placed, it can after, unless two free corners
// show the same colour towards (0, 14); on the puzzles measured its tests refused nothing that
// a test at (0, 14) had not refused already.
constexpr bool testsRim(int depth) {
    return followsRim(depth) && depth != topRightCornerDepth;
}

inline constexpr std::array<RimGap, depthCount> rimGaps = [] {
    std::array<RimGap, depthCount> gaps{};
    for (int d = 0; d < depthCount; ++d)
        if (testsRim(d)) gaps[d] = rimGapAt(d);
    return gaps;
}();

// At every depth from the first tested one on (and so at every tested depth, and at a dead end
// that the depth profile judges) the filled rim squares are one arc through the top-left
// corner, so the empty ones are one run between two filled squares.
constexpr bool emptyRimIsOneRun() {
    for (int d = firstRimCheckDepth; d < depthCount - 1; ++d) {
        int runs = 0;
        for (int i = 0; i < rimLength; ++i)
            runs += rimDepth(i) > d && rimDepth((i + rimLength - 1) % rimLength) <= d;
        if (runs != 1 || rimDepth(0) > d) return false;
    }
    return true;
}
static_assert(emptyRimIsOneRun());

// (0, 12) leaves (0, 13), (0, 14), the corner, column 15, the corner and (15, 14) to (15, 12).
static_assert(rimGaps[191].length == 21 && rimGaps[191].corners == (1u << 2 | 1u << 17));
static_assert(rimGaps[191].edges == 19 && rimGaps[191].runStart == 3 && rimGaps[191].runEnd == 17);
static_assert(rimGaps[197].startDepth == 197 && rimGaps[197].endDepth == 190);
static_assert(rimGaps[252].length == 2 && rimGaps[252].corners == 2u);
// Each tested placement lies at one end of the empty run: the top end, or (in row 15) the
// bottom end, which the other end leaves where it was.
constexpr bool placementsEndTheRun() {
    for (int d = 0; d < depthCount; ++d)
        if (testsRim(d) && rimGaps[d].startDepth != d && rimGaps[d].endDepth != d) return false;
    return true;
}
static_assert(placementsEndTheRun());
