// The ordering by colour counts, a search option: every piece's ordering value gets a fixed term
// from how common its colours are. The term is the sum, over the piece's edges that are not
// border, of the number of edges of that colour among all pieces, scaled within the piece's kind
// (corner, edge, interior) to the range -W/2..W/2: with W below 0 the pieces of common colours
// come first in their lists, above 0 those of scarce colours. W = 0 adds nothing.
#pragma once

#include <array>
#include <cstdint>

#include "base/search_option_row.h"
#include "puzzle/piece_code.h"

// The terms of the pieces, made from the pieces read for one weight, for the current run.
struct ColourScarcity {
    std::int64_t weight = 0;  // the W the terms are made for
    std::array<std::int32_t, 256> term{};
};

// Makes the terms for the weight W (from -1000 to 1000) from the puzzle's pieces, unless
// they are made for it already; W = 0 makes every term 0.
void prepareScarcity(std::int64_t weight);

// The ordering as a search option.
struct ScarcityOption {
    static constexpr SearchOptionRow row{
        .name = "Scarcity ordering",
        .benchFlag = "--scarcity",
        .word = "scarcity",
        .valueName = "W",
        .least = -1000,
        .most = 1000,
        .help = "order candidates also by how common their colours are (W < 0: common ones first)",
        .atRunStart = prepareScarcity,
        .benchPage =
            R"roff(Order the candidates of every list also by how common their colours are, as the
solver does under a groups file with the word
.BI scarcity= W\fR:
each piece's ordering value gets a fixed term, the number of edges of each of
its colours among all pieces added up and scaled within its kind (corner, edge,
interior) to the range
.RI \- W /2
to
.IR W /2,
so that with
.I W
below 0 the pieces of common colours come first.
.I W
is a whole number from \-1000 to 1000; 0 is the solver's own order, node for
node.)roff",
        .wordPage = R"roff(The ordering by colour counts, with
.I W
a whole number from \-1000 to 1000 (see
.BR tessaly\-bench (1),
.BR \-\-scarcity ).)roff",
    };
};
