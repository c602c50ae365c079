// Candidate tables: for every piece kind and required colours, the list of matching piece
// codes. All lists live in one pool; each is a head word (emptyCode), its entries (the last
// one flagged lastInList) and a terminator (emptyCode) that is also the next list's head.
#pragma once

#include <array>
#include <cstdint>

#include "puzzle/piece_code.h"

inline constexpr int poolSize = 20000;
// Slots of a two-colour table: 23 rows of 32, indexed by pairIndex (first * 32 + second).
inline constexpr int pairSlots = colourCount * 32;

// A CandidateList is reached through a pointer to its head word; null means no candidates.
using CandidateList = PieceCode*;
using PairTable = std::array<CandidateList, pairSlots>;
using ColourTable = std::array<CandidateList, colourCount>;

extern std::array<PieceCode, poolSize> candidatePool;
extern int poolUsed;

extern PairTable interiorByLeftTop;    // interior pieces by [left][top]
extern PairTable edgeByLeftTop;        // edge pieces by [left][top]
extern PairTable cornerByLeftTop;      // corner pieces by [left][top]
extern PairTable edgeByBottomLeft;     // edge pieces by [bottom][left]
extern PairTable edgeByRightTop;       // edge pieces by [right][top]
extern PairTable cornerByRightBottom;  // corner pieces by [right][bottom]
extern ColourTable interiorByLeft;     // interior pieces by left colour
extern ColourTable interiorByTop;      // interior pieces by top colour
extern ColourTable edgeByLeft;         // edge pieces by left colour

// One piece in one rotation: the pairIndex of its code, then the code.
struct RotationEntry {
    std::int32_t pairIndex;
    PieceCode code;
};
// Entry 4 * piece + rotation, for every piece and rotation.
extern std::array<RotationEntry, 4 * 256> rotationTable;

// Builds the pool, the nine tables and rotationTable from pieceCodes and borderCount,
// starting from an empty pool. Ends the program if the pool overflows.
void buildCandidateTables();
