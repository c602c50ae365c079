// Writing a board as a BoardFile: the grid of slot rows that the solver loads with
// `tessaly FILE` and that tessaly-show reads back to the same board.
#pragma once

#include <array>
#include <string>

#include "puzzle/piece_code.h"

// The BoardFile text of `slots`: comment lines (without a '/', so no reader takes them for
// board lines) naming `comment`, then slot rows 15 down to 0, each of 16 cells "%3d/%d" (the
// piece numbered from 1, and its rotation) or "---/-" for an empty slot.
std::string gridText(const std::array<PieceCode, 256>& slots, const std::string& comment);
// The board lines of gridText alone, slot rows 15 down to 0, each with its line end.
std::string gridBoardLines(const std::array<PieceCode, 256>& slots);
// The lines of every gridText: two comment lines and the 16 slot rows.
inline constexpr int gridTextLines = 2 + 16;
