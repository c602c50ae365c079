#include "puzzle/piece_code.h"

#include <gtest/gtest.h>

#include <set>

TEST(PieceCode, RotationZeroReturnsTheArgumentBitForBit) {
    for (PieceCode base : {0x02819022, 0x02819022 | 0x00700000, 0x7F8FFFFF})
        EXPECT_EQ(rotate(0, base), base);
}

TEST(PieceCode, RotationsOfAPieceWithFourEqualColoursDifferOnlyInTheRotationField) {
    const PieceCode base = makePieceCode(77, 5, 5, 5, 5);
    std::set<PieceCode> codes;
    for (int r = 0; r < 4; ++r) {
        const PieceCode code = rotate(r, base);
        EXPECT_EQ(code & ~0x00300000, base);
        EXPECT_EQ(rotationOf(code), r);
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 4u);
}

TEST(PieceCode, FourQuarterTurnsOfEveryColourLayoutComeBackToTheStart) {
    // rotate takes rotation-0 codes only, so turn by turn means composing the colour moves.
    for (int b = 0; b < 23; b += 5)
        for (int l = 1; l < 23; l += 7) {
            const PieceCode base = makePieceCode(9, b, 3, 17, l);
            const PieceCode once = rotate(1, base);
            const PieceCode twice = rotate(2, base);
            EXPECT_EQ(bottomOf(once), rightOf(base));
            EXPECT_EQ(leftOf(once), bottomOf(base));
            EXPECT_EQ(bottomOf(twice), topOf(base));
            EXPECT_EQ(rightOf(twice), leftOf(base));
            EXPECT_FALSE(isLastInList(rotate(3, base | lastInListBit)));
        }
}

TEST(PieceCode, PieceNumbersReadBackAndTheLastPieceIsPositive) {
    const PieceCode last = makePieceCode(255, 22, 22, 22, 22);
    EXPECT_GT(last, 0);
    EXPECT_EQ(pieceNumberOf(last), 255);
    EXPECT_EQ(pieceNumberOf(rotate(3, last) | lastInListBit), 255);
    EXPECT_EQ(pieceNumberOf(emptyCode), -1);
    EXPECT_EQ(bottomOf(emptyCode), 31);
    EXPECT_EQ(leftOf(emptyCode), 31);
}

TEST(PieceCode, PairIndexIsLeftTimes32PlusTop) {
    EXPECT_EQ(pairIndex(makePieceCode(3, 1, 2, 22, 22)), 726);
    EXPECT_EQ(pairIndex(makePieceCode(3, 1, 2, 4, 7) | lastInListBit), 7 * 32 + 4);
}
