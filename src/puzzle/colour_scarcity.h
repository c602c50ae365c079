// The ordering by colour counts, a search option: every piece's ordering value gets a fixed term
// from how common its colours are. The term is the sum, over the piece's edges that are not
// border, of the number of edges of that colour among all pieces, scaled within the piece's kind
// (corner, edge, interior) to the range -W/2..W/2: with W below 0 the pieces of common colours
// come first in their lists, above 0 those of scarce colours. W = 0 adds nothing.
#pragma once

#include <array>
#include <cstdint>

#include "puzzle/piece_code.h"

// The terms of the pieces, made from the pieces read for one weight. resetProgram clears it.
struct ColourScarcity {
    std::int64_t weight = 0;  // the W the terms are made for
    std::array<std::int32_t, 256> term{};
};
extern ColourScarcity scarcity;

// Makes the terms for the weight W (from -1000 to 1000) from pieceCodes and borderCount, unless
// they are made for it already; W = 0 makes every term 0.
void prepareScarcity(std::int64_t weight);
