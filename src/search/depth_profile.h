// Where the nodes of a run go, as the steps with options count them for tessaly-bench
// --profile: the nodes placed at each profiled depth or deeper. The solver's own steps count
// nothing of it.
#pragma once

#include <array>
#include <cstdint>

#include "search/search_state.h"

// The depths whose steps count the nodes below their entries: the bounds of the depth bands
// (120, 193, 230, 248) and every depth from 240 on.
inline constexpr std::array<int, 18> profiledDepths{120, 193, 230, 240, 241, 242, 243, 244, 245,
                                                    246, 247, 248, 249, 250, 251, 252, 253, 254};

// The place of `depth` in profiledDepths, or -1.
constexpr int profileIndex(int depth) {
    for (std::size_t i = 0; i < profiledDepths.size(); ++i)
        if (profiledDepths[i] == depth) return static_cast<int>(i);
    return -1;
}

struct DepthProfile {
    // Nodes counted while the step of each profiled depth ran, for every entry into it that has
    // returned: the placements at that depth and deeper.
    std::array<std::int64_t, profiledDepths.size()> nodesFrom{};
    // nodeCount at the entry into the step of each profiled depth while that step runs, or -1.
    std::array<std::int64_t, profiledDepths.size()> enteredAt =
        filled<std::int64_t, profiledDepths.size()>(-1);
};
// The one instance, kept for the current run.
extern DepthProfile depthProfile;

// The nodes of the run placed at `depth` (a profiled depth) or deeper, counting those of a step
// that still runs (or that a budget stop left) up to now.
std::int64_t nodesFromDepth(int depth);
