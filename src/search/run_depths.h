// How deep runs go: the depths by which every program counts runs, by their deepest depth (the
// deepest depth at which a run placed a piece, deepestPlacedDepth).
#pragma once

#include <array>

// The deepest depths that tell a run on a hard puzzle from a better one: a run that reached
// 248 has six squares left, and 254 is a full board but for its last square.
inline constexpr std::array<int, 5> deepestDepthBands{240, 248, 250, 252, 254};
// The place of `depth` in deepestDepthBands, or -1.
constexpr int bandIndex(int depth) {
    for (std::size_t i = 0; i < deepestDepthBands.size(); ++i)
        if (deepestDepthBands[i] == depth) return static_cast<int>(i);
    return -1;
}

// Where the deep placements are counted from: the placements at this depth and deeper.
inline constexpr int deepPlacementsFrom = 248;
