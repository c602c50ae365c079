// The candidate lists of the first depths for the current run: the first 64 squares never
// take a piece of the run's first list, so their lists are copied once per run without those
// pieces, in the order the run's lists hold them, and the search walks the copies.
#pragma once

#include <array>

#include "puzzle/candidate_tables.h"

// Depths 0 to shallowDepthEnd - 1 may walk the copies.
inline constexpr int shallowDepthEnd = 64;

// The copies of interiorByLeftTop, edgeByLeftTop and cornerByLeftTop, by square kind (0
// interior, 1 edge, 2 corner), slot for slot; null where no entry is left. Each list is its
// number of entries, the entries and a terminating emptyCode; the flag does not mark its
// end. An entry is the word the run's list holds (flag included, so that a placed code is
// the same word), with countedBit added for a piece of the run's counted second list.
extern std::array<PairTable, 3> shallowByLeftTop;
// Bit 31, never set in a real piece's code.
inline constexpr PieceCode countedBit = static_cast<PieceCode>(0x80000000u);

// Builds the copies from the lists and the run's group flags as they stand now.
void buildShallowLists();
