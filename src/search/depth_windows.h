// Where each rule of the depth steps applies, by depth in fill order (0 to 254). Costly
// bookkeeping is kept to the shallow depths, where nodes are few.
#pragma once

#include <array>
#include <cstdint>

// The group rules steer the start of a run: minimums on entry and group counts to here.
inline constexpr int lastGroupRulesDepth = 100;
// First-list pieces are kept out of the first 64 squares, where the run's start is chosen.
inline constexpr int lastFirstListBarredDepth = 63;
// Then at most the group's number of first-list pieces stand on the board at once.
inline constexpr int lastLimitedFirstListDepth = 79;
// Barred first-list pieces stay out until the group rules end.
inline constexpr int lastBarredDepth = lastGroupRulesDepth - 1;
// The run budget is checked after every placement to here; deeper, nodes are too many for it.
inline constexpr int lastBudgetCheckDepth = 119;
// Placed pieces leave the candidate lists at this depth, which deeper steps then read shorter.
inline constexpr int placedRemovalDepth = 80;
// The steps after it take their own pieces out to the last budget check depth ...
inline constexpr int lastPairRemovalDepth = lastBudgetCheckDepth;
// ... and interior pieces also out of the one-colour tables (which only the mismatch passes
// read) to here only, which bounds what those removals cost.
inline constexpr int lastColourRemovalDepth = 110;
// Entries into these depths are counted; the run budget judges a run by where it spends them.
inline constexpr int firstCountedVisitDepth = 160;
inline constexpr int lastCountedVisitDepth = 170;
// From this depth on a step raises the run's deepest depth; shallower entries are not worth it.
inline constexpr int firstDeepestDepth = 249;

// Within the first-list window, at most this many first-list pieces stand on the board at once.
inline constexpr std::int32_t mostFirstListPlaced = 6;

// The least number of counted second-list pieces with which a run may enter these depths
// (groupFlags.secondListMinimum, which every run writes): a run must place the counted pieces early
// enough; every other depth has the minimum 0.
struct MinimumEntry {
    int depth;
    std::int32_t minimum;
};
inline constexpr std::array<MinimumEntry, 9> runMinimumEntries{
    {{10, 4}, {20, 7}, {30, 9}, {40, 12}, {50, 14}, {60, 16}, {79, 18}, {95, 19}, {100, 20}}};
// The minimum of a depth as every run sets it.
constexpr std::int32_t runSecondListMinimum(int depth) {
    for (const MinimumEntry& entry : runMinimumEntries)
        if (entry.depth == depth) return entry.minimum;
    return 0;
}

// The mismatch phase: from depth 193 on, most steps also try pieces with one mismatched edge,
// as long as the board holds fewer mismatches than the depth's limit, which rises towards the
// last squares; 0 for the depths without a mismatch phase.
constexpr int mismatchLimitOf(int d) {
    if (d < 193 || d == 194 || d == 197 || d == 200 || d >= 254) return 0;
    if (d <= 201) return 1;
    constexpr int firstDepthOfLimit[] = {202, 209, 214, 218, 222, 226, 229, 232,
                                         235, 238, 240, 242, 244, 246, 247, 248};
    int limit = 1;
    for (int start : firstDepthOfLimit)
        if (d >= start) ++limit;
    return limit;
}

// The most mismatched edges a full board may have: the limit of the last mismatch phase.
inline constexpr int mostFullBoardMismatches = mismatchLimitOf(253);
static_assert(mostFullBoardMismatches == 17);
