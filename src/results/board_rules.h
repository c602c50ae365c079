// The rules every board of a puzzle keeps, whichever file it comes back from: the deepest
// board and a record board that a stop left under its temporary name are judged alike.
#pragma once

#include <array>
#include <string>

#include "puzzle/piece_code.h"
#include "puzzle/piece_file.h"

// The mismatched edges between the filled squares of `slots`.
int mismatchedEdges(const std::array<PieceCode, 256>& slots);

// Why `slots` is no board of `pieces`, or an empty text: a filled square whose word is no piece
// of them in one of its rotations (the lastInList bit a code carried in its list aside), a piece
// twice, the hint piece not on its square in rotation 2, an edge facing the outline with another
// colour than the border.
std::string boardRuleBreak(const std::array<PieceCode, 256>& slots, const PieceTables& pieces);
