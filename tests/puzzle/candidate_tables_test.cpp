#include "puzzle/candidate_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

using FieldRead = int (*)(PieceCode);

struct TableShape {
    const char* name;
    int kind;
    FieldRead first;
    FieldRead second;  // null for a one-colour table
    CandidateList* slots;
    int slotCount;
};

std::vector<TableShape> allTables() {
    return {
        {"interiorByLeftTop", 0, leftOf, topOf, puzzle.interiorByLeftTop.data(), pairSlots},
        {"edgeByLeftTop", 1, leftOf, topOf, puzzle.edgeByLeftTop.data(), pairSlots},
        {"cornerByLeftTop", 2, leftOf, topOf, puzzle.cornerByLeftTop.data(), pairSlots},
        {"edgeByBottomLeft", 1, bottomOf, leftOf, puzzle.edgeByBottomLeft.data(), pairSlots},
        {"edgeByRightTop", 1, rightOf, topOf, puzzle.edgeByRightTop.data(), pairSlots},
        {"cornerByRightBottom", 2, rightOf, bottomOf, puzzle.cornerByRightBottom.data(), pairSlots},
        {"interiorByLeft", 0, leftOf, nullptr, puzzle.interiorByLeft.data(), colourCount},
        {"interiorByTop", 0, topOf, nullptr, puzzle.interiorByTop.data(), colourCount},
        {"edgeByLeft", 1, leftOf, nullptr, puzzle.edgeByLeft.data(), colourCount}};
}

// Entries of a list up to and including the flagged one.
std::vector<PieceCode> listEntries(CandidateList list) {
    std::vector<PieceCode> entries;
    for (PieceCode* e = list + 1;; ++e) {
        entries.push_back(*e);
        if (isLastInList(*e)) break;
    }
    return entries;
}

class CandidateTables : public testing::Test {
protected:
    void SetUp() override {
        TempDir dir;
        writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle({7, 12, 4})));
        readPieceFile(dir.file("k7pieces.txt").c_str());
        // Two pieces of shapes a generated puzzle rarely has: one interior piece with four
        // equal colours, and one with four border edges, which belongs in no list.
        puzzle.pieceCodes[100] = makePieceCode(100, 5, 5, 5, 5);
        puzzle.pieceCodes[101] = makePieceCode(101, 22, 22, 22, 22);
        puzzle.borderCount[101] = 4;
        buildCandidateTables();
    }
};

}  // namespace

TEST_F(CandidateTables, EverySlotHoldsExactlyItsMatchingRotationsInPieceAndRotationOrder) {
    for (const TableShape& table : allTables())
        for (int slot = 0; slot < table.slotCount; ++slot) {
            const int a = table.second ? slot / 32 : slot;
            const int b = table.second ? slot % 32 : 0;
            std::vector<PieceCode> expected;
            for (int p = 0; p < 256; ++p) {
                if (puzzle.borderCount[p] != table.kind) continue;
                for (int r = 0; r < 4; ++r) {
                    const PieceCode code = rotate(r, puzzle.pieceCodes[p]);
                    if (table.first(code) == a && (!table.second || table.second(code) == b))
                        expected.push_back(code);
                }
            }
            const CandidateList list = table.slots[slot];
            if (expected.empty()) {
                EXPECT_EQ(list, nullptr) << table.name << " slot " << slot;
                continue;
            }
            ASSERT_NE(list, nullptr) << table.name << " slot " << slot;
            EXPECT_EQ(list[0], emptyCode);
            std::vector<PieceCode> entries = listEntries(list);
            EXPECT_EQ(list[entries.size() + 1], emptyCode) << table.name << " slot " << slot;
            entries.back() &= ~lastInListBit;
            EXPECT_EQ(entries, expected) << table.name << " slot " << slot;
        }
}

TEST_F(CandidateTables, ListsFollowEachOtherSharingTheirEndWordsFromPoolWordZero) {
    std::vector<CandidateList> heads;
    for (const TableShape& table : allTables())
        for (int slot = 0; slot < table.slotCount; ++slot)
            if (table.slots[slot]) heads.push_back(table.slots[slot]);
    std::sort(heads.begin(), heads.end());
    ASSERT_FALSE(heads.empty());
    EXPECT_EQ(heads.front(), puzzle.candidatePool.data());
    for (std::size_t i = 0; i + 1 < heads.size(); ++i)
        EXPECT_EQ(heads[i] + listEntries(heads[i]).size() + 1, heads[i + 1]);
    EXPECT_EQ(heads.back() + listEntries(heads.back()).size() + 2,
              puzzle.candidatePool.data() + puzzle.poolUsed);
}

TEST_F(CandidateTables, UnusedSlotsAndTheBorderPairOfInteriorPiecesAreNull) {
    EXPECT_EQ(puzzle.interiorByLeftTop[22 * 32 + 22], nullptr);
    for (const TableShape& table : allTables()) {
        if (!table.second) continue;
        for (int a = 0; a < colourCount; ++a)
            for (int b = colourCount; b < 32; ++b)
                EXPECT_EQ(table.slots[a * 32 + b], nullptr);
    }
}

TEST_F(CandidateTables, FourEqualColoursStandFourTimesInEachInteriorList) {
    auto countPiece = [](CandidateList list, int piece) {
        int n = 0;
        for (PieceCode code : listEntries(list))
            n += pieceNumberOf(code) == piece;
        return n;
    };
    EXPECT_EQ(countPiece(puzzle.interiorByLeftTop[5 * 32 + 5], 100), 4);
    EXPECT_EQ(countPiece(puzzle.interiorByLeft[5], 100), 4);
    EXPECT_EQ(countPiece(puzzle.interiorByTop[5], 100), 4);
}

TEST_F(CandidateTables, CornersStandInTheRotationThatPutsTheirBorderEdgesOnTheNamedSides) {
    for (int p = 0; p < 4; ++p) {
        int rightBottom = -1;
        for (PieceCode code : listEntries(puzzle.cornerByRightBottom[22 * 32 + 22]))
            if (pieceNumberOf(code) == p) rightBottom = rotationOf(code);
        int leftTop = -1;
        for (PieceCode code : listEntries(puzzle.cornerByLeftTop[22 * 32 + 22]))
            if (pieceNumberOf(code) == p) leftTop = rotationOf(code);
        ASSERT_NE(rightBottom, -1);
        EXPECT_EQ(leftTop, (rightBottom + 2) % 4);
    }
}

TEST_F(CandidateTables, RotationTableHoldsEveryPieceInEveryRotationWithItsPairIndex) {
    for (int p = 0; p < 256; ++p) {
        EXPECT_EQ(puzzle.rotationTable[4 * p].code, puzzle.pieceCodes[p]);
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(puzzle.rotationTable[4 * p + r].code, rotate(r, puzzle.pieceCodes[p]));
            EXPECT_EQ(puzzle.rotationTable[4 * p + r].pairIndex,
                      pairIndex(rotate(r, puzzle.pieceCodes[p])));
        }
    }
}
