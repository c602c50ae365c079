#include "search/board_geometry.h"

#include <gtest/gtest.h>

namespace {
// The depth of every square as the fill order is documented (-1 for the hint square),
// typed in independently of the region rules that build fillSquares.
constexpr int documentedDepth[16][16] = {
    {0, 1, 2, 48, 64, 80, 96, 112, 127, 143, 159, 175, 191, 194, 197, 200},
    {3, 4, 5, 49, 65, 81, 97, 113, 128, 144, 160, 176, 192, 195, 198, 201},
    {6, 7, 8, 50, 66, 82, 98, 114, 129, 145, 161, 177, 193, 196, 199, 202},
    {9, 10, 11, 51, 67, 83, 99, 115, 130, 146, 162, 178, 203, 204, 205, 206},
    {12, 13, 14, 52, 68, 84, 100, 116, 131, 147, 163, 179, 207, 208, 209, 210},
    {15, 16, 17, 53, 69, 85, 101, 117, 132, 148, 164, 180, 211, 212, 213, 214},
    {18, 19, 20, 54, 70, 86, 102, 118, 133, 149, 165, 181, 215, 216, 217, 218},
    {21, 22, 23, 55, 71, 87, 103, -1, 134, 150, 166, 182, 219, 220, 221, 222},
    {24, 25, 26, 56, 72, 88, 104, 119, 135, 151, 167, 183, 223, 224, 225, 226},
    {27, 28, 29, 57, 73, 89, 105, 120, 136, 152, 168, 184, 227, 228, 229, 230},
    {30, 31, 32, 58, 74, 90, 106, 121, 137, 153, 169, 185, 231, 232, 233, 234},
    {33, 34, 35, 59, 75, 91, 107, 122, 138, 154, 170, 186, 235, 236, 237, 238},
    {36, 37, 38, 60, 76, 92, 108, 123, 139, 155, 171, 187, 239, 243, 244, 245},
    {39, 40, 41, 61, 77, 93, 109, 124, 140, 156, 172, 188, 240, 246, 249, 250},
    {42, 43, 44, 62, 78, 94, 110, 125, 141, 157, 173, 189, 241, 247, 251, 253},
    {45, 46, 47, 63, 79, 95, 111, 126, 142, 158, 174, 190, 242, 248, 252, 254}};
}  // namespace

TEST(BoardGeometry, FillOrderBuiltFromItsRegionsMatchesTheDocumentedDepthOfEverySquare) {
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            EXPECT_EQ(depthOfSquare({r, c}), documentedDepth[r][c]) << r << "," << c;
    for (int d = 0; d < depthCount; ++d) {
        const Square sq = fillSquares[d];
        EXPECT_EQ(fillOrder[d], squareSlot[sq.row][sq.col]);
        EXPECT_NE(fillOrder[d], hintSlot);
    }
}

TEST(BoardGeometry, SquareKindsGiveTheDocumentedCornerAndEdgeDepths) {
    std::vector<int> corners, edges;
    for (int d = 0; d < depthCount; ++d) {
        if (squareKind[fillOrder[d]] == 2) corners.push_back(d);
        if (squareKind[fillOrder[d]] == 1) edges.push_back(d);
    }
    EXPECT_EQ(corners, (std::vector<int>{0, 45, 200, 254}));
    std::vector<int> expected{1, 2};
    for (int d = 3; d <= 42; d += 3)
        expected.push_back(d);
    for (int d : {46,  47,  48,  63,  64,  79,  80,  95,  96,  111, 112, 126, 127, 142,
                  143, 158, 159, 174, 175, 190, 191, 194, 197, 201, 202, 206, 210, 214,
                  218, 222, 226, 230, 234, 238, 242, 245, 248, 250, 252, 253})
        expected.push_back(d);
    EXPECT_EQ(edges, expected);
    EXPECT_EQ(squareKind[166], 2);
    EXPECT_EQ(squareKind[177], 2);
    EXPECT_EQ(squareKind[87], 2);
    EXPECT_EQ(squareKind[104], 2);
}
