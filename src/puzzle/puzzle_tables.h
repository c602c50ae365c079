// The puzzle as the program searches it, in one record: the pieces read from the piece file and
// the candidate tables built from them. The piece file and buildCandidateTables fill it; no
// reset touches it, so the tests and the bench load the pieces they need after resetProgram.
#pragma once

#include <array>
#include <cstdint>

#include "puzzle/candidate_tables.h"
#include "puzzle/piece_code.h"
#include "puzzle/piece_file.h"

struct PuzzleTables {
    // Rotation-0 code of every piece, by piece number.
    std::array<PieceCode, pieceCount> pieceCodes{};
    // Number of border edges of every piece: 0 interior, 1 edge, 2 corner (3 and 4 are kept too).
    std::array<std::int32_t, pieceCount> borderCount{};
    // The pool all candidate lists live in, and how much of it they take.
    std::array<PieceCode, poolSize> candidatePool{};
    int poolUsed = 0;
    PairTable interiorByLeftTop{};    // interior pieces by [left][top]
    PairTable edgeByLeftTop{};        // edge pieces by [left][top]
    PairTable cornerByLeftTop{};      // corner pieces by [left][top]
    PairTable edgeByBottomLeft{};     // edge pieces by [bottom][left]
    PairTable edgeByRightTop{};       // edge pieces by [right][top]
    PairTable cornerByRightBottom{};  // corner pieces by [right][bottom]
    ColourTable interiorByLeft{};     // interior pieces by left colour
    ColourTable interiorByTop{};      // interior pieces by top colour
    ColourTable edgeByLeft{};         // edge pieces by left colour
    // Entry 4 * piece + rotation, for every piece and rotation.
    std::array<RotationEntry, 4 * 256> rotationTable{};
    // How often the lists have been ordered since they were built: the one-colour lists join
    // from the second time on.
    std::int64_t timesOrdered = 0;
};
// The one instance; the depth steps read its tables directly.
extern PuzzleTables puzzle;
