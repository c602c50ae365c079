#include "run/run_setup.h"

#include <algorithm>

#include "base/clocks.h"
#include "base/random.h"
#include "run/piece_groups.h"
#include "search/search_state.h"
#include "stats/statistics_records.h"

std::array<std::int32_t, 256> inFirstList{};
std::array<std::int32_t, 256> firstListBarred{};
std::array<std::int32_t, 256> inSecondList{};
std::int32_t firstListPlaced = 0;
std::int32_t secondListPlaced = 0;
std::array<std::int32_t, 256> secondListMinimum{};
std::array<std::int32_t, 24> shunnedColour{};
std::array<std::int32_t, 24> favouredColour{};
bool groupRandomSeeded = false;
int runGroup = -1;
RunGroups runGroups;

namespace {

// Draws colours by `draw` until one is neither shunned nor favoured.
template <typename Draw>
int drawFreeColour(Draw draw) {
    for (;;) {
        const int x = draw();
        if (!shunnedColour[x] && !favouredColour[x]) return x;
    }
}

}  // namespace

void clearRunState() {
    depthVisits.fill(-1);
    board.fill(emptyCode);
    pieceFree.fill(1);
    fullBoardTally.fill(0);
}

void chooseGroupAndColours() {
    if (!groupRandomSeeded) {
        const auto wall = static_cast<std::uint32_t>(wallClockSeconds());
        const auto clock = static_cast<std::uint32_t>(programClockMs());
        seedRandom(groupRandom, groupSeed(wall, clock));
        groupRandomSeeded = true;
    }
    shunnedColour.fill(0);
    favouredColour.fill(0);
    inFirstList.fill(0);
    firstListBarred.fill(0);
    inSecondList.fill(0);
    firstListPlaced = 0;
    secondListPlaced = 0;
    const bool groupRules = runGroups.rules == StepRules::groups;
    if (groupRules)
        for (const MinimumEntry& entry : runMinimumEntries)
            secondListMinimum[entry.depth] = entry.minimum;

    const auto lowColour = [] { return static_cast<int>(nextRandom(mainRandom) % 17u); };
    shunnedColour[drawFreeColour(lowColour)] = 1;
    favouredColour[drawFreeColour(lowColour)] = 1;
    // The shunned colour lies in 0..16, so the first draw of 17..21 is always taken.
    favouredColour[static_cast<int>(nextRandom(mainRandom) % 5u) + 17] = 1;

    runGroup = static_cast<int>(nextRandom(groupRandom) % static_cast<std::uint32_t>(groupCount));
    if (groupRules) applyPieceGroup(runGroup);
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
    const PieceGroup& group = runGroups.table[g];
    std::array<int, 3> walked{};
    for (int i = group.firstCount - 1; i >= 0; --i) {
        const int p = runGroups.pieces[group.firstStart + i];
        const int t = pieceType(p);
        inFirstList[p] = 1;
        if (walked[t] < firstListQuota[t]) firstListBarred[p] = 1;
        ++walked[t];
    }
    std::array<int, 3> counted{};
    for (int i = 0; i < group.secondCount; ++i) {
        const int p = runGroups.pieces[group.secondStart + i];
        const int t = pieceType(p);
        if (counted[t] < secondListQuota[t]) {
            ++counted[t];
            inSecondList[p] = 1;
        }
    }
}
