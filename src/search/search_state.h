// State of the search of the current run, touched only by the run thread.
#pragma once

#include <array>
#include <cstdint>

#include "puzzle/piece_code.h"

// PieceCode on each board slot, or emptyCode.
extern std::array<PieceCode, 256> board;
// 1 while a piece is not on the board, by piece number.
extern std::array<std::int32_t, 256> pieceFree;
// Pieces tried and taken back in this run.
extern std::int64_t nodeCount;
// Mismatched edges on the board at the moment.
extern std::int32_t mismatchCount;
// -1, or the most pieces (hint included) the board has held at once, from 250 on.
extern std::int32_t deepestReached;
// Entries into the step of each depth, minus one; kept for depth 0 and depths 160 to 170.
extern std::array<std::int64_t, 256> depthVisits;
