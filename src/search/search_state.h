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

// Kept only by a search that keeps its deepest board: the deepest depth at which the run has
// placed a piece (-1 before the first), and the board as it stood at that placement; its
// slots of depths 0 to deepestDepth (and the hint's) hold the run's deepest path.
extern std::int32_t deepestDepth;
extern std::array<PieceCode, 256> deepestBoard;
// Takes the board as the deepest one, placed up to `depth`.
void keepDeepestBoard(int depth);
// The board as the run's search began: set up, a loaded board's pieces and the hint on it.
extern std::array<PieceCode, 256> searchStartBoard;
// The deepest depth at which the run has placed a piece, -1 for none, read off the board at
// any time and at no cost to the search: every placement writes its slot and nothing empties
// one during a run, so it is the deepest depth whose slot differs from searchStartBoard.
int deepestPlacedDepth();
