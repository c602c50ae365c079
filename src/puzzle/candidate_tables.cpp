#include "puzzle/candidate_tables.h"

#include "base/console.h"
#include "base/fatal_exit.h"
#include "puzzle/list_editing.h"
#include "puzzle/piece_file.h"

std::array<PieceCode, poolSize> candidatePool{};
int poolUsed = 0;

PairTable interiorByLeftTop{};
PairTable edgeByLeftTop{};
PairTable cornerByLeftTop{};
PairTable edgeByBottomLeft{};
PairTable edgeByRightTop{};
PairTable cornerByRightBottom{};
ColourTable interiorByLeft{};
ColourTable interiorByTop{};
ColourTable edgeByLeft{};
std::array<RotationEntry, 4 * 256> rotationTable{};

namespace {

using FieldRead = int (*)(PieceCode);

void appendToPool(PieceCode word) {
    if (poolUsed >= poolSize) {
        printErr("Internal error, buffer full\n");
        fatalExit();
    }
    candidatePool[poolUsed++] = word;
}

// Appends every rotation of every piece of `kind` whose fields match, in piece and then
// rotation order, and returns the list's head or null when nothing matched.
CandidateList buildList(int kind, FieldRead first, int a, FieldRead second, int b) {
    const int start = poolUsed;
    for (int piece = 0; piece < 256; ++piece) {
        if (borderCount[piece] != kind) continue;
        for (int r = 0; r < 4; ++r) {
            const PieceCode code = rotate(r, pieceCodes[piece]);
            if (first(code) == a && (second == nullptr || second(code) == b)) appendToPool(code);
        }
    }
    if (poolUsed == start) return nullptr;
    candidatePool[poolUsed - 1] |= lastInListBit;
    appendToPool(emptyCode);
    return &candidatePool[start - 1];
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
    poolUsed = 0;
    for (PairTable* table : {&interiorByLeftTop, &edgeByLeftTop, &cornerByLeftTop,
                             &edgeByBottomLeft, &edgeByRightTop, &cornerByRightBottom})
        table->fill(nullptr);
    for (ColourTable* table : {&interiorByLeft, &interiorByTop, &edgeByLeft})
        table->fill(nullptr);

    appendToPool(emptyCode);  // head word of the first list
    buildPairTable(interiorByLeftTop, 0, leftOf, topOf);
    buildPairTable(edgeByLeftTop, 1, leftOf, topOf);
    buildPairTable(cornerByLeftTop, 2, leftOf, topOf);
    buildColourTable(interiorByLeft, 0, leftOf);
    buildColourTable(interiorByTop, 0, topOf);
    buildColourTable(edgeByLeft, 1, leftOf);
    buildPairTable(edgeByBottomLeft, 1, bottomOf, leftOf);
    buildPairTable(edgeByRightTop, 1, rightOf, topOf);
    buildPairTable(cornerByRightBottom, 2, rightOf, bottomOf);

    for (int piece = 0; piece < 256; ++piece)
        for (int r = 0; r < 4; ++r) {
            const PieceCode code = rotate(r, pieceCodes[piece]);
            rotationTable[4 * piece + r] = {pairIndex(code), code};
        }
    indexEditedLists();
}
