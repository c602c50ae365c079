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

// One piece in one rotation: the pairIndex of its code, then the code.
struct RotationEntry {
    std::int32_t pairIndex;
    PieceCode code;
};
// Builds the pool, the nine tables and the rotation table of `puzzle` from its pieces,
// starting from an empty pool. Ends the program if the pool overflows.
void buildCandidateTables();
