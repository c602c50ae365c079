// The rules every board of a puzzle keeps, whichever file it comes back from: the deepest
// board and a record board that a stop left under its temporary name are judged alike, and
// tessaly-show's check of a board applies the same rules square by square.
#pragma once

#include <array>
#include <string>

#include "puzzle/piece_code.h"
#include "puzzle/piece_file.h"
#include "search/board_geometry.h"

// Whether `code` is a piece of `pieces` showing the colours the piece has in the code's rotation
// (the lastInList bit a code carried in its list aside).
bool showsItsColours(PieceCode code, const PieceTables& pieces);
// Whether `code` is the hint piece in rotation 2, as the hint square holds it.
constexpr bool isHintInPlace(PieceCode code) {
    return pieceNumberOf(code) == hintPiece && rotationOf(code) == 2;
}
// Whether the side `side` of `square` faces the outline of the board, where it must show the
// border colour.
constexpr bool facesOutline(Square square, Side side) {
    switch (side) {
        case Side::top:
            return square.row == 0;
        case Side::right:
            return square.col == boardSize - 1;
        case Side::bottom:
            return square.row == boardSize - 1;
        case Side::left:
            return square.col == 0;
    }
    return false;
}

// An inner edge between two filled squares: `second` lies right of `first` when `across`, below
// it otherwise; the colours are those the two pieces show on it (program colours).
struct JoinedEdge {
    Square first;
    Square second;
    bool across;
    int firstColour;
    int secondColour;
};
// Calls `visit` with every inner edge that has a piece on both sides: square by square, row by
// row from the top left, the edge to a square's right before the one below it.
template <typename Visit>
void forEachJoinedEdge(const std::array<PieceCode, 256>& slots, Visit visit) {
    for (int row = 0; row < boardSize; ++row)
        for (int col = 0; col < boardSize; ++col) {
            const PieceCode here = slots[squareSlot[row][col]];
            if (here == emptyCode) continue;
            const PieceCode right =
                col + 1 < boardSize ? slots[squareSlot[row][col + 1]] : emptyCode;
            if (right != emptyCode)
                visit(JoinedEdge{{row, col}, {row, col + 1}, true, rightOf(here), leftOf(right)});
            const PieceCode below =
                row + 1 < boardSize ? slots[squareSlot[row + 1][col]] : emptyCode;
            if (below != emptyCode)
                visit(JoinedEdge{{row, col}, {row + 1, col}, false, bottomOf(here), topOf(below)});
        }
}

// The mismatched edges between the filled squares of `slots`.
int mismatchedEdges(const std::array<PieceCode, 256>& slots);

// Why `slots` is no board of `pieces`, or an empty text: a filled square whose word is no piece
// of them in one of its rotations (showsItsColours), a piece twice, the hint piece not on its
// square in rotation 2, an edge facing the outline with another colour than the border.
std::string boardRuleBreak(const std::array<PieceCode, 256>& slots, const PieceTables& pieces);
