// A copy of every candidate table, to compare the lists before and after an edit. Used by the
// tests and by the board-file fuzz target, so it needs nothing but the solver's own code.
#pragma once

#include <array>

#include "puzzle/candidate_tables.h"
#include "puzzle/puzzle_tables.h"

struct TableSnapshot {
    std::array<PieceCode, poolSize> pool;
    std::array<PairTable, 6> pairs;
    std::array<ColourTable, 3> colours;
    bool operator==(const TableSnapshot&) const = default;
};

inline TableSnapshot snapshotTables() {
    return {puzzle.candidatePool,
            {puzzle.interiorByLeftTop, puzzle.edgeByLeftTop, puzzle.cornerByLeftTop,
             puzzle.edgeByBottomLeft, puzzle.edgeByRightTop, puzzle.cornerByRightBottom},
            {puzzle.interiorByLeft, puzzle.interiorByTop, puzzle.edgeByLeft}};
}
