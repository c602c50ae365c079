// How deep runs go: the depths by which every program counts runs, by their deepest depth (the
// deepest depth at which a run placed a piece, deepestPlacedDepth).
#pragma once

#include <array>
#include <cstddef>

// The deepest depths that tell a run on a hard puzzle from a better one: a run that reached
// 248 has six squares left, and 254 is a full board but for its last square.
inline constexpr std::array<int, 5> deepestDepthBands{240, 248, 250, 252, 254};
// The place of `depth` in deepestDepthBands, or -1.
constexpr int bandIndex(int depth) {
    for (std::size_t i = 0; i < deepestDepthBands.size(); ++i)
        if (deepestDepthBands[i] == depth) return static_cast<int>(i);
    return -1;
}

// The bands runs are shown in by their deepest depth: band 0 below the first depth of
// deepestDepthBands, band i + 1 from its depth i up to the next one (the last, 254, alone).
inline constexpr std::size_t depthBandCount = deepestDepthBands.size() + 1;
// The band of a run whose deepest depth is `depth`.
constexpr std::size_t depthBandOf(int depth) {
    std::size_t band = 0;
    while (band < deepestDepthBands.size() && depth >= deepestDepthBands[band])
        ++band;
    return band;
}
static_assert(depthBandOf(-1) == 0 && depthBandOf(239) == 0 && depthBandOf(240) == 1 &&
              depthBandOf(247) == 1 && depthBandOf(248) == 2 && depthBandOf(253) == 4 &&
              depthBandOf(254) == 5);

// Where the deep placements are counted from: the placements at this depth and deeper.
inline constexpr int deepPlacementsFrom = 248;
