// Per-run set-up: a clean board and counters, and the piece-group rules that steer which
// pieces the first 101 depths of the search may use.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "run/piece_groups.h"
#include "search/depth_steps.h"

// The piece is in the run's first list.
extern std::array<std::int32_t, 256> inFirstList;
// The piece is in the first list and kept out of the search until depth 100.
extern std::array<std::int32_t, 256> firstListBarred;
// The piece is among the second-list pieces whose placements are counted.
extern std::array<std::int32_t, 256> inSecondList;
// inFirstList pieces on the board.
extern std::int32_t firstListPlaced;
// inSecondList pieces on the board.
extern std::int32_t secondListPlaced;
// Least secondListPlaced with which the step of each depth may be entered.
extern std::array<std::int32_t, 256> secondListMinimum;

// How many pieces of each type (interior, edge, corner) are barred from the end of the
// first list, and counted from the start of the second list.
inline constexpr std::array<int, 3> firstListQuota{42, 11, 2};
inline constexpr std::array<int, 3> secondListQuota{12, 8, 0};

// The secondListMinimum entries that every run writes; every other depth has the minimum 0.
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

// The run's shunned colour (one of 0..16), by program colour.
extern std::array<std::int32_t, 24> shunnedColour;
// The run's two favoured colours (one of 0..16, one of 17..21), by program colour.
extern std::array<std::int32_t, 24> favouredColour;
// Set once groupRandom has been seeded; it is seeded in the first run only.
extern bool groupRandomSeeded;
// The piece group of the current run.
extern int runGroup;

// The piece groups the runs draw from and the rules the search applies: the built-in groups
// under the group rules, unless a groups file gives groups of its own or turns the rules off.
struct RunGroups {
    std::array<PieceGroup, groupCount> table = groupTable;
    std::array<std::uint8_t, groupCount* groupSize> pieces = groupPieces;
    StepRules rules = StepRules::groups;
    std::string source;  // the groups file read, or empty for the built-in groups
};
extern RunGroups runGroups;
// Puts the two lists of group `g` into `groups`, where the built-in table keeps them too.
void putGroup(RunGroups& groups, int g, std::span<const std::uint8_t> first,
              std::span<const std::uint8_t> second);

// Empties the board, frees every piece, sets every depth-visit counter to -1 and clears
// the full-board tally.
void clearRunState();
// Draws the run's shunned and favoured colours from mainRandom and its piece group from
// groupRandom (seeding groupRandom in the first run), and applies the group of runGroups,
// unless the group rules are off: the group is drawn all the same, so that every draw of a
// run stays as it is, but no piece is flagged and no minimum set.
void chooseGroupAndColours();
// Sets the group flags of group `g` (0 to 59) of runGroups: all of its first list, the barred
// part of it, and the counted part of its second list.
void applyPieceGroup(int g);
