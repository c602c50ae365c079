#include "puzzle/candidate_tables.h"

#include "base/console.h"
#include "base/fatal_exit.h"
#include "puzzle/list_editing.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"

namespace {

using FieldRead = int (*)(PieceCode);

void appendToPool(PieceCode word) {
    if (puzzle.poolUsed >= poolSize) {
        printErr("Internal error, buffer full\n");
        fatalExit();
    }
    puzzle.candidatePool[puzzle.poolUsed++] = word;
}

// Appends every rotation of every piece of `kind` whose fields match, in piece and then
// rotation order, and returns the list's head or null when nothing matched.
CandidateList buildList(int kind, FieldRead first, int a, FieldRead second, int b) {
    const int start = puzzle.poolUsed;
    for (int piece = 0; piece < 256; ++piece) {
        if (puzzle.borderCount[piece] != kind) continue;
        for (int r = 0; r < 4; ++r) {
            const PieceCode code = rotate(r, puzzle.pieceCodes[piece]);
            if (first(code) == a && (second == nullptr || second(code) == b)) appendToPool(code);
        }
    }
    if (puzzle.poolUsed == start) return nullptr;
    puzzle.candidatePool[puzzle.poolUsed - 1] |= lastInListBit;
    appendToPool(emptyCode);
    return &puzzle.candidatePool[start - 1];
}

void buildPairTable(PairTable& table, int kind, FieldRead first, FieldRead second) {
    for (int a = 0; a < colourCount; ++a)
        for (int b = 0; b < colourCount; ++b)
            table[a * 32 + b] = buildList(kind, first, a, second, b);
}

void buildColourTable(ColourTable& table, int kind, FieldRead field) {
    for (int a = 0; a < colourCount; ++a)
        table[a] = buildList(kind, field, a, nullptr, 0);
}

}  // namespace

void buildCandidateTables() {
    puzzle.poolUsed = 0;
    puzzle.timesOrdered = 0;
    for (PairTable* table :
         {&puzzle.interiorByLeftTop, &puzzle.edgeByLeftTop, &puzzle.cornerByLeftTop,
          &puzzle.edgeByBottomLeft, &puzzle.edgeByRightTop, &puzzle.cornerByRightBottom})
        table->fill(nullptr);
    for (ColourTable* table : {&puzzle.interiorByLeft, &puzzle.interiorByTop, &puzzle.edgeByLeft})
        table->fill(nullptr);

    appendToPool(emptyCode);  // head word of the first list
    buildPairTable(puzzle.interiorByLeftTop, 0, leftOf, topOf);
    buildPairTable(puzzle.edgeByLeftTop, 1, leftOf, topOf);
    buildPairTable(puzzle.cornerByLeftTop, 2, leftOf, topOf);
    buildColourTable(puzzle.interiorByLeft, 0, leftOf);
    buildColourTable(puzzle.interiorByTop, 0, topOf);
    buildColourTable(puzzle.edgeByLeft, 1, leftOf);
    buildPairTable(puzzle.edgeByBottomLeft, 1, bottomOf, leftOf);
    buildPairTable(puzzle.edgeByRightTop, 1, rightOf, topOf);
    buildPairTable(puzzle.cornerByRightBottom, 2, rightOf, bottomOf);

    for (int piece = 0; piece < 256; ++piece)
        for (int r = 0; r < 4; ++r) {
            const PieceCode code = rotate(r, puzzle.pieceCodes[piece]);
            puzzle.rotationTable[4 * piece + r] = {pairIndex(code), code};
        }
    indexEditedLists();
}
