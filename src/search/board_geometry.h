// Board geometry: which square each depth fills, where each square is stored in `board`,
// and the kind of every square. All tables are compile-time constants.
#pragma once

#include <array>
#include <cstdint>

struct Square {
    int row;  // 0 at the top
    int col;  // 0 at the left
    constexpr bool operator==(const Square&) const = default;
};

inline constexpr int boardSize = 16;
inline constexpr int depthCount = 255;
inline constexpr Square hintSquare{7, 7};
inline constexpr int hintSlot = 8;

// Board slot of every square, by row and column: a fixed permutation of 0..255 that the
// board files also use, so it cannot be derived and is kept exactly as stored files expect.
inline constexpr std::array<std::array<std::uint8_t, 16>, 16> squareSlot{
    {{{166, 119, 49, 91, 154, 90, 103, 242, 126, 20, 221, 98, 34, 18, 15, 177}},
     {{230, 113, 134, 63, 223, 149, 97, 7, 30, 66, 112, 145, 213, 253, 50, 186}},
     {{51, 27, 59, 192, 165, 137, 95, 102, 159, 3, 79, 2, 42, 38, 203, 16}},
     {{197, 199, 200, 185, 17, 198, 217, 152, 62, 241, 238, 231, 83, 54, 84, 71}},
     {{23, 68, 163, 232, 43, 133, 111, 216, 13, 140, 255, 180, 39, 189, 148, 167}},
     {{6, 56, 146, 156, 69, 138, 220, 171, 9, 188, 5, 85, 174, 250, 24, 70}},
     {{172, 139, 173, 31, 116, 78, 65, 11, 196, 75, 29, 46, 187, 101, 183, 191}},
     {{52, 237, 218, 142, 22, 122, 40, 8, 1, 161, 236, 168, 108, 89, 123, 57}},
     {{245, 143, 124, 193, 100, 215, 77, 247, 249, 222, 94, 99, 176, 96, 88, 58}},
     {{45, 181, 0, 226, 93, 118, 64, 81, 147, 107, 151, 82, 158, 252, 190, 229}},
     {{144, 153, 74, 115, 53, 141, 61, 25, 14, 136, 28, 12, 178, 109, 72, 135}},
     {{195, 233, 157, 227, 194, 211, 239, 235, 37, 228, 48, 130, 207, 21, 26, 132}},
     {{214, 204, 210, 125, 205, 35, 67, 243, 4, 80, 129, 121, 224, 120, 55, 162}},
     {{114, 47, 10, 179, 248, 128, 209, 201, 234, 105, 202, 244, 246, 164, 219, 184}},
     {{175, 170, 182, 254, 110, 150, 155, 240, 251, 41, 36, 32, 60, 44, 73, 212}},
     {{87, 225, 19, 169, 86, 127, 208, 131, 106, 33, 92, 206, 160, 76, 117, 104}}}};

// The fill order, built from its five regions: columns 0-2 row by row; columns 3-11 column
// by column, passing over the hint square; rows 0-2 of columns 12-15 column by column;
// rows 3-11 of columns 12-15 row by row; and the bottom-right 4x4 block peeled from its
// top-left corner, so that the last square is the bottom-right corner.
inline constexpr std::array<Square, depthCount> fillSquares = [] {
    std::array<Square, depthCount> order{};
    int d = 0;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 3; ++c)
            order[d++] = {r, c};
    for (int c = 3; c < 12; ++c)
        for (int r = 0; r < 16; ++r)
            if (Square{r, c} != hintSquare) order[d++] = {r, c};
    for (int c = 12; c < 16; ++c)
        for (int r = 0; r < 3; ++r)
            order[d++] = {r, c};
    for (int r = 3; r < 12; ++r)
        for (int c = 12; c < 16; ++c)
            order[d++] = {r, c};
    // Peel the block: a column downwards from the diagonal, then the row to its right.
    for (int k = 12; k < 16; ++k) {
        for (int r = k; r < 16; ++r)
            order[d++] = {r, k};
        for (int c = k + 1; c < 16; ++c)
            order[d++] = {k, c};
    }
    return order;
}();

// Board slot filled at each depth.
inline constexpr std::array<int, depthCount> fillOrder = [] {
    std::array<int, depthCount> slots{};
    for (int d = 0; d < depthCount; ++d)
        slots[d] = squareSlot[fillSquares[d].row][fillSquares[d].col];
    return slots;
}();

// Square of each board slot (the inverse of squareSlot).
inline constexpr std::array<Square, 256> slotSquare = [] {
    std::array<Square, 256> squares{};
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            squares[squareSlot[r][c]] = {r, c};
    return squares;
}();

constexpr bool onRim(int i) {
    return i == 0 || i == 15;
}

// Kind of the square in each board slot: 2 corner, 1 edge, 0 interior.
inline constexpr std::array<std::uint8_t, 256> squareKind = [] {
    std::array<std::uint8_t, 256> kinds{};
    for (int s = 0; s < 256; ++s)
        kinds[s] = static_cast<std::uint8_t>(onRim(slotSquare[s].row) + onRim(slotSquare[s].col));
    return kinds;
}();

// Depth of every square, by row and column (the inverse of fillSquares), -1 for the hint square.
// A table, not a search of fillSquares: compile-time tables ask for it hundreds of times, and
// clang bounds the steps a constant expression may take.
inline constexpr std::array<std::array<int, 16>, 16> squareDepth = [] {
    std::array<std::array<int, 16>, 16> depths{};
    for (auto& row : depths)
        row.fill(-1);
    for (int d = 0; d < depthCount; ++d)
        depths[fillSquares[d].row][fillSquares[d].col] = d;
    return depths;
}();

// Depth of a square, or -1 for the hint square.
constexpr int depthOfSquare(Square sq) {
    return squareDepth[sq.row][sq.col];
}

namespace geometry_checks {
constexpr bool slotsArePermutation() {
    std::array<bool, 256> seen{};
    for (const auto& row : squareSlot)
        for (int s : row) {
            if (seen[s]) return false;
            seen[s] = true;
        }
    return true;
}
// Every left and upper neighbour is filled earlier or is the hint square.
constexpr bool neighboursComeFirst() {
    for (int d = 0; d < depthCount; ++d) {
        const Square sq = fillSquares[d];
        if (sq.col > 0 && depthOfSquare({sq.row, sq.col - 1}) >= d) return false;
        if (sq.row > 0 && depthOfSquare({sq.row - 1, sq.col}) >= d) return false;
    }
    return true;
}
constexpr int kindSum() {
    int sum = 0;
    for (int k : squareKind)
        sum += k;
    return sum;
}
}  // namespace geometry_checks

static_assert(geometry_checks::slotsArePermutation());
static_assert(geometry_checks::neighboursComeFirst());
static_assert(squareSlot[hintSquare.row][hintSquare.col] == hintSlot);
static_assert(fillOrder[0] == 166 && fillOrder[254] == 104);
static_assert(squareSlot[0][15] == 177 && squareSlot[15][0] == 87);
static_assert(squareKind[hintSlot] == 0 && geometry_checks::kindSum() == 64);
static_assert(depthOfSquare({7, 6}) == 103 && depthOfSquare({6, 7}) == 118);
static_assert(depthOfSquare({7, 8}) == 134 && depthOfSquare({8, 7}) == 119);
