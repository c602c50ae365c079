#include "run/run_setup.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/clocks.h"
#include "base/console.h"
#include "base/option_table.h"
#include "base/printable_text.h"
#include "base/program_state.h"
#include "base/random.h"
#include "base/settings.h"
#include "puzzle/candidate_ordering.h"
#include "puzzle/ordering_policy.h"
#include "puzzle/puzzle_run.h"
#include "results/statistics_records.h"
#include "run/current_run.h"
#include "run/piece_groups.h"
#include "search/depth_windows.h"
#include "search/search_state.h"

RunSetup setup;

namespace {

// Draws colours by `draw` until one is neither shunned nor favoured.
template <typename Draw>
int drawFreeColour(Draw draw) {
    for (;;) {
        const int x = draw();
        if (!puzzleRun.ordering.shunnedColour[x] && !puzzleRun.ordering.favouredColour[x]) return x;
    }
}

}  // namespace

void readTestSeeds() {
    const char* text = std::getenv(testSeedsVariable);
    if (text == nullptr) return;
    setup.testSeeds = seedPairIn(text);
    if (!setup.testSeeds)
        printErr("%s takes %s, not '%s'; it is ignored, and the seeds come from the clocks\n",
                 testSeedsVariable, takesText(seedPairOption(testSeedsVariable, "")).c_str(),
                 printableText(text).c_str());
}

std::uint32_t chosenMainSeed() {
    if (setup.testSeeds) return (*setup.testSeeds)[0];
    const std::uint16_t checksum = directoryChecksum(
        program.settings.workingDirectory, std::strlen(program.settings.workingDirectory));
    const auto wall = static_cast<std::uint32_t>(wallClockSeconds());
    const auto clock = static_cast<std::uint32_t>(programClockMs());
    return mainSeed(wall, clock, checksum);
}

void chooseGroupAndColours() {
    if (!setup.groupRandomSeeded) {
        const auto wall = static_cast<std::uint32_t>(wallClockSeconds());
        const auto clock = static_cast<std::uint32_t>(programClockMs());
        seedRandom(program.groupRandom,
                   setup.testSeeds ? (*setup.testSeeds)[1] : groupSeed(wall, clock));
        setup.groupRandomSeeded = true;
    }
    const bool groupRules = setup.groups.rules == StepRules::groups;
    if (groupRules)
        for (const MinimumEntry& entry : runMinimumEntries)
            search.groupFlags.secondListMinimum[entry.depth] = entry.minimum;

    const auto lowColour = [] {
        return static_cast<int>(nextRandom(program.mainRandom) % lowColourCount);
    };
    puzzleRun.ordering.shunnedColour[drawFreeColour(lowColour)] = 1;
    puzzleRun.ordering.favouredColour[drawFreeColour(lowColour)] = 1;
    // The shunned colour is a low one, so the first draw of a high colour is always taken.
    puzzleRun.ordering.favouredColour[static_cast<int>(
        nextRandom(program.mainRandom) % highColourCount + lowColourCount)] = 1;

    currentRun.draws.group =
        static_cast<int>(nextRandom(program.groupRandom) % static_cast<std::uint32_t>(groupCount));
    if (groupRules) applyPieceGroup(currentRun.draws.group);
}

void putGroup(RunGroups& groups, int g, std::span<const std::uint8_t> first,
              std::span<const std::uint8_t> second) {
    const auto start = static_cast<std::uint32_t>(groupSize * g);
    const auto firstCount = static_cast<std::int32_t>(first.size());
    groups.table[g] = {start, firstCount, start + static_cast<std::uint32_t>(firstCount),
                       static_cast<std::int32_t>(second.size())};
    std::copy(first.begin(), first.end(), groups.pieces.begin() + start);
    std::copy(second.begin(), second.end(), groups.pieces.begin() + start + firstCount);
}

void applyPieceGroup(int g) {
    const PieceGroup& group = setup.groups.table[g];
    std::array<int, 3> walked{};
    for (int i = group.firstCount - 1; i >= 0; --i) {
        const int p = setup.groups.pieces[group.firstStart + i];
        const int t = pieceType(p);
        search.groupFlags.inFirstList[p] = 1;
        if (walked[t] < firstListQuota[t]) search.groupFlags.firstListBarred[p] = 1;
        ++walked[t];
    }
    std::array<int, 3> counted{};
    for (int i = 0; i < group.secondCount; ++i) {
        const int p = setup.groups.pieces[group.secondStart + i];
        const int t = pieceType(p);
        if (counted[t] < secondListQuota[t]) {
            ++counted[t];
            search.groupFlags.inSecondList[p] = 1;
        }
    }
}
