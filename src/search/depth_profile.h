// Where the nodes of a run go, as the steps with options count them for tessaly-bench
// --profile: the nodes placed at each profiled depth or deeper. The solver's own steps count
// nothing of it.
#pragma once

#include <array>
#include <cstdint>

#include "search/board_geometry.h"
#include "search/search_state.h"

// The depth bands whose nodes the profile shows, by their first depths.
inline constexpr std::array<int, 5> profileBandStarts{0, 120, 193, 230, 248};
// From this depth on the profile shows the placements of every depth.
inline constexpr int firstProfiledDeepDepth = 240;

// Whether the steps of `depth` count the nodes below their entries: the first depths of the
// bands (depth 0 counts all nodes of a run anyway) and every depth from firstProfiledDeepDepth.
constexpr bool isProfiledDepth(int depth) {
    if (depth >= firstProfiledDeepDepth && depth < depthCount) return true;
    for (std::size_t b = 1; b < profileBandStarts.size(); ++b)
        if (profileBandStarts[b] == depth) return true;
    return false;
}
// Those depths, in order.
inline constexpr auto profiledDepths = [] {
    constexpr int count = [] {
        int n = 0;
        for (int d = 0; d < depthCount; ++d)
            n += isProfiledDepth(d);
        return n;
    }();
    std::array<int, count> depths{};
    int i = 0;
    for (int d = 0; d < depthCount; ++d)
        if (isProfiledDepth(d)) depths[i++] = d;
    return depths;
}();
static_assert(profiledDepths.size() == 18 && profiledDepths[0] == 120 && profiledDepths[3] == 240);

// The place of `depth` in profiledDepths, or -1.
constexpr int profileIndex(int depth) {
    for (std::size_t i = 0; i < profiledDepths.size(); ++i)
        if (profiledDepths[i] == depth) return static_cast<int>(i);
    return -1;
}

// What ended the deepest branch of a run that reached firstDeadEndDepth or deeper: at the first
// dead end at its deepest depth, the square after it took no piece because
enum class DeadEnd : std::int8_t {
    none,           // no dead end there (yet): a full board, or a run stopped in the branch
    rim,            // the free edge and corner pieces could no longer close the rim
    mismatchLimit,  // nothing fitted exactly, and the board held the mismatches the depth allows
    noFit,          // no free piece fitted, even with one mismatched edge where one is allowed
};
// The shallowest deepest depth whose dead end the profile judges.
inline constexpr int firstDeadEndDepth = 240;

struct DepthProfile {
    // Nodes counted while the step of each profiled depth ran, for every entry into it that has
    // returned: the placements at that depth and deeper.
    std::array<std::int64_t, profiledDepths.size()> nodesFrom{};
    // nodeCount at the entry into the step of each profiled depth while that step runs, or -1.
    std::array<std::int64_t, profiledDepths.size()> enteredAt =
        filled<std::int64_t, profiledDepths.size()>(-1);
    // The deepest depth at which the run met a dead end (firstDeadEndDepth or deeper, else -1),
    // and what ended it.
    std::int32_t deadEndDepth = -1;
    DeadEnd deadEnd = DeadEnd::none;
};
// The one instance, kept for the current run.
extern DepthProfile depthProfile;

// The nodes of the run placed at `depth` (a profiled depth) or deeper, counting those of a step
// that still runs (or that a budget stop left) up to now.
std::int64_t nodesFromDepth(int depth);

// Called when the step of `depth`, entered with the board filled to depth - 1 deeper than any
// dead end before in the run, placed nothing: judges what ended the branch (the rim first, as
// the cause below the others), with `rimRefused` when the look-ahead refused a piece there.
[[gnu::cold, gnu::noinline]] void noteDeadEnd(int depth, bool rimRefused);
