// The invariants of every group are checked at compile time in piece_groups.cpp; these tests
// keep the committed data tied to its generator and to the group that is given in full.
#include "run/piece_groups.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

const std::string generatorPath = TESSALY_SOURCE_DIR "/tools/groups/make_piece_groups.py";
const std::string committedPath = TESSALY_SOURCE_DIR "/src/run/piece_groups.cpp";

// The `count` piece numbers of groupPieces from `start`.
std::vector<int> listAt(std::uint32_t start, std::int32_t count) {
    return std::vector<int>(groupPieces.begin() + start, groupPieces.begin() + start + count);
}

TEST(PieceGroupsGenerator, WritesTheCommittedFileToStandardOutput) {
    TempDir dir;
    const ProgramResult result = runProgram("python3 '" + generatorPath + "'", dir.path);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out == readFile(committedPath))
        << "src/run/piece_groups.cpp differs from what tools/groups/make_piece_groups.py writes";
}

TEST(PieceGroupsGenerator, WritesTheCommittedFileToAGivenPath) {
    TempDir dir;
    const std::string output = dir.file("piece_groups.cpp");
    const ProgramResult result =
        runProgram("python3 '" + generatorPath + "' '" + output + "'", dir.path);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out.empty());
    EXPECT_TRUE(readFile(output) == readFile(committedPath))
        << "src/run/piece_groups.cpp differs from what tools/groups/make_piece_groups.py writes";
}

TEST(PieceGroupsData, GroupZeroHoldsTheGivenLists) {
    const std::vector<int> first = {
        2,   0,   99,  85,  79,  91,  176, 76,  73,  86,  192, 206, 247, 181, 235, 62,  214,
        244, 241, 75,  171, 178, 251, 233, 185, 134, 223, 209, 217, 175, 170, 177, 183, 213,
        107, 188, 168, 105, 199, 221, 207, 228, 240, 133, 128, 179, 237, 220, 255, 180, 106,
        167, 190, 182, 113, 222, 248, 219, 120, 208, 236, 173, 197, 243, 215, 229, 230, 226,
        211, 232, 231, 186, 196, 187, 130, 201, 245, 203, 225, 210, 198, 189, 254, 204, 126,
        200, 216, 205, 172, 184, 108, 111, 103, 193, 252, 114, 194, 121, 224, 117, 115, 202,
        124, 195, 242, 238, 119, 112, 129, 253, 239, 116, 118, 246, 125, 122, 135, 132, 127,
        249, 191, 123, 131, 102, 110, 109, 101, 100, 8,   59,  34,  42,  12,  56,  49,  57,
        30,  23,  24,  21,  18,  14,  58,  17,  22,  16,  19,  10,  50,  5};
    const std::vector<int> second = {
        15,  28, 36,  145, 146, 81,  64,  60,  63,  83, 136, 67,  68,  137, 154, 46,  66,  141,
        71,  80, 65,  144, 155, 47,  45,  150, 139, 82, 156, 158, 87,  61,  151, 143, 163, 149,
        147, 26, 140, 159, 162, 152, 92,  148, 93,  69, 160, 142, 96,  104, 74,  157, 98,  88,
        250, 72, 70,  153, 78,  40,  164, 89,  212, 43, 169, 166, 161, 95,  77,  234, 90,  174,
        84,  33, 97,  165, 94,  44,  218, 4,   227, 35, 48,  25,  31,  53,  41,  27,  52,  20,
        37,  11, 51,  38,  9,   55,  6,   54,  29,  13, 7,   39,  32};
    const PieceGroup& group = groupTable[0];
    EXPECT_EQ(group.firstStart, 0u);
    EXPECT_EQ(group.secondStart, 150u);
    EXPECT_EQ(listAt(group.firstStart, group.firstCount), first);
    EXPECT_EQ(listAt(group.secondStart, group.secondCount), second);
}

}  // namespace
