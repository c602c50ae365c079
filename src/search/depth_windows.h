// Where each rule of the depth steps applies, by depth in fill order (0 to 254). Costly
// bookkeeping is kept to the shallow depths, where nodes are few.
#pragma once

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
