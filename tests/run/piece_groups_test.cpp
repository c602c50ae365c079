// The rules of every built-in group, group 0 and group 1's given ends are checked at compile
// time in piece_groups.cpp; this test pins the drawn groups themselves, which may change only
// on purpose.
#include "run/piece_groups.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// FNV-1a over every group's first-list length, then every piece number of builtInGroups.pieces.
std::uint64_t builtInDigest() {
    std::uint64_t digest = 0xCBF29CE484222325;
    auto add = [&digest](std::uint32_t value) { digest = (digest ^ value) * 0x100000001B3; };
    for (const PieceGroup& group : builtInGroups().table)
        add(static_cast<std::uint32_t>(group.firstCount));
    for (const std::uint8_t piece : builtInGroups().pieces)
        add(piece);
    return digest;
}

}  // namespace

// A change of the drawing (its seed, its order of draws, a list length) keeps every rule but
// gives other groups, and so other runs; the bench signatures see only the groups that their
// few runs draw, this digest sees all 60.
TEST(PieceGroups, TheBuiltInGroupsStayAsTheyAre) {
    EXPECT_EQ(builtInDigest(), 0x695A8DB4E577E086u);
}
