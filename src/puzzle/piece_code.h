// PieceCode: one piece in one rotation, packed in a signed 32-bit word.
//   bits 0-4 bottom, 5-9 right, 10-14 top, 15-19 left (program colours 0..22),
//   bits 20-21 rotation, bit 22 lastInList, bits 23-31 pieceNumber.
#pragma once

#include <cstdint>

using PieceCode = std::int32_t;

// Marks an empty square on the board and separates lists in the candidate pool.
inline constexpr PieceCode emptyCode = -1;
// Program colour of every edge that faces the outline of the board.
inline constexpr int borderColour = 22;
// Number of program colours, the border included.
inline constexpr int colourCount = 23;
// Piece number of the fixed hint piece, placed in rotation 2 on the hint square.
inline constexpr int hintPiece = 138;

inline constexpr std::int32_t lastInListBit = 0x00400000;
inline constexpr std::int32_t pieceNumberMask = static_cast<std::int32_t>(0xFF800000u);

constexpr int bottomOf(PieceCode c) {
    return c & 31;
}
constexpr int rightOf(PieceCode c) {
    return (c >> 5) & 31;
}
constexpr int topOf(PieceCode c) {
    return (c >> 10) & 31;
}
constexpr int leftOf(PieceCode c) {
    return (c >> 15) & 31;
}
// The four sides of a square, and the colour a code shows on each.
enum class Side { top, right, bottom, left };
constexpr int colourOn(PieceCode code, Side side) {
    switch (side) {
        case Side::top:
            return topOf(code);
        case Side::right:
            return rightOf(code);
        case Side::bottom:
            return bottomOf(code);
        case Side::left:
            return leftOf(code);
    }
    return 0;
}

constexpr int rotationOf(PieceCode c) {
    return (c >> 20) & 3;
}
constexpr bool isLastInList(PieceCode c) {
    return (c & lastInListBit) != 0;
}
// Arithmetic shift: a real piece gives 0..255, emptyCode gives -1.
constexpr int pieceNumberOf(PieceCode c) {
    return c >> 23;
}
// Slot of a [left][top] table: left * 32 + top, which is bits 10-19 of the code.
constexpr int pairIndex(PieceCode c) {
    return (c >> 10) & 0x3FF;
}

// The rotation-0 code of a piece from its four program colours.
constexpr PieceCode makePieceCode(int piece, int bottom, int right, int top, int left) {
    return static_cast<PieceCode>(
        (static_cast<std::uint32_t>(piece) << 23) |
        static_cast<std::uint32_t>(left << 15 | top << 10 | right << 5 | bottom));
}

// The code of a piece turned r clockwise quarter turns from its rotation-0 code `base`.
// The rotation field is set to r, not added to; lastInList comes out clear.
constexpr PieceCode rotate(int r, PieceCode base) {
    if (r == 0) return base;
    const std::uint32_t b = static_cast<std::uint32_t>(base);
    const std::uint32_t colours = b & 0xFFFFF;
    std::uint32_t moved = 0;
    switch (r) {
        case 1:
            moved = (colours >> 5) | ((colours & 31) << 15);
            break;
        case 2:
            moved = (colours >> 10) | ((colours & 0x3FF) << 10);
            break;
        default:
            moved = ((colours << 5) & 0xFFFFF) | (colours >> 15);
            break;
    }
    return static_cast<PieceCode>((b & 0xFF800000u) + (static_cast<std::uint32_t>(r) << 20) +
                                  moved);
}

static_assert(makePieceCode(5, 2, 1, 4, 3) == 0x02819022);
static_assert(rotate(1, 0x02819022) == 0x02910C81);
static_assert(rotate(2, 0x02819022) == 0x02A08864);
static_assert(rotate(3, 0x02819022) == 0x02B20443);
static_assert(pieceNumberOf(emptyCode) == -1 && isLastInList(emptyCode));
