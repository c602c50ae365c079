// What the puzzle layer keeps for the current run, in one record: the colours the ordering
// reads, the edits of the candidate lists and the terms of the ordering by colour counts.
// resetRun starts every run from a fresh one.
#pragma once

#include "puzzle/candidate_ordering.h"
#include "puzzle/colour_scarcity.h"
#include "puzzle/list_editing.h"

struct PuzzleRun {
    OrderingState ordering;
    ListEdits edits;
    ColourScarcity scarcity;
};
// The one instance; the search edits the lists through it.
extern PuzzleRun puzzleRun;
