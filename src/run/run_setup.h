// Per-run set-up: a clean board and counters, and the piece-group rules that steer which
// pieces the first 101 depths of the search may use.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "run/piece_groups.h"
#include "search/depth_steps.h"
#include "search/search_options.h"
#include "search/search_state.h"

// How many pieces of each type (interior, edge, corner) are barred from the end of the
// first list, and counted from the start of the second list.
inline constexpr std::array<int, 3> firstListQuota{42, 11, 2};
inline constexpr std::array<int, 3> secondListQuota{12, 8, 0};

// The piece groups the runs draw from and the rules the search applies: the built-in groups
// under the group rules, unless a groups file gives groups of its own or turns the rules off.
struct RunGroups {
    std::array<PieceGroup, groupCount> table = builtInGroups().table;
    std::array<std::uint8_t, groupCount* groupSize> pieces = builtInGroups().pieces;
    StepRules rules = StepRules::groups;
    // The search options of the runs (the groups file's words, or the bench's flags).
    SearchOptions options;
    std::string source;      // the groups file read, or empty when none was read
    bool tableRead = false;  // whether that file gave the groups, in place of the built-in ones
};

// The run set-up's own state.
struct RunSetup {
    // The groups the runs draw from, and the rules they search under.
    RunGroups groups;
    // Set once groupRandom has been seeded; it is seeded in the first run only.
    bool groupRandomSeeded = false;
    // The seeds MAIN,GROUP that testSeedsVariable fixes, in place of those from the clocks.
    std::optional<std::array<std::uint32_t, 2>> testSeeds;
};
extern RunSetup setup;

// What the current run drew at its start.
struct RunDraws {
    // The piece group of the current run, drawn whether the group rules apply or not.
    int group = -1;
};
// Puts the two lists of group `g` into `groups`, where the built-in table keeps them too.
void putGroup(RunGroups& groups, int g, std::span<const std::uint8_t> first,
              std::span<const std::uint8_t> second);

// Reads the seeds that testSeedsVariable fixes, when the tests set it, into setup.testSeeds; a
// value that is not a seed pair is named on the error stream and ignored.
void readTestSeeds();
// The seed of mainRandom: the test seeds' first, else made from the clocks and the directory.
std::uint32_t chosenMainSeed();
// Draws the run's shunned and favoured colours from mainRandom and its piece group from
// groupRandom (seeding groupRandom in the first run, from the test seeds' second if fixed), and
// applies the group of setup.groups, unless the group rules are off: the group is drawn all the
// same, so that every draw of a run stays as it is, but no piece is flagged and no minimum set.
void chooseGroupAndColours();
// Sets the group flags of group `g` (0 to 59) of setup.groups: all of its first list, the barred
// part of it, and the counted part of its second list.
void applyPieceGroup(int g);
