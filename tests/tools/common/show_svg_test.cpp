// tessaly-show drawing: the fills of the colours.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "puzzle/piece_code.h"
#include "tools/common/svg_drawing.h"

TEST(ShowSvgColours, EveryColourHasItsOwnFillAndTheBorderIsANeutralGrey) {
    std::set<std::string> fills;
    for (int colour = 0; colour < colourCount; ++colour)
        fills.insert(colourFill(colour));
    EXPECT_EQ(fills.size(), static_cast<std::size_t>(colourCount));
    unsigned r = 0, g = 0, b = 0;
    ASSERT_EQ(std::sscanf(colourFill(0), "#%2x%2x%2x", &r, &g, &b), 3);
    EXPECT_EQ(r, g);
    EXPECT_EQ(g, b);
    EXPECT_GT(r, 0x60u);
    EXPECT_LT(r, 0xc0u);
}
