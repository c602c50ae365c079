#include "puzzle/candidate_ordering.h"

#include "base/console.h"
#include "base/program_state.h"
#include "base/random.h"
#include "puzzle/colour_scarcity.h"
#include "puzzle/list_editing.h"
#include "puzzle/ordering_policy.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/puzzle_tables.h"

namespace {

// Position of every 1-based piece number in its ordering, and the ordering's length;
// the same answer as searching the orderings, without the search.
struct OrderPlace {
    int position;
    int length;  // 0 for a number in no ordering
};

constexpr std::array<OrderPlace, 257> orderPlaces = [] {
    std::array<OrderPlace, 257> places{};
    auto enter = [&places](const auto& order) {
        for (std::size_t i = 0; i < order.size(); ++i)
            places[order[i]] = {static_cast<int>(i), static_cast<int>(order.size())};
    };
    enter(cornerOrder);
    enter(edgeOrder);
    enter(interiorOrder);
    return places;
}();

constexpr bool everyPieceOrderedOnce() {
    std::array<int, 257> seen{};
    for (int n : cornerOrder)
        ++seen[n];
    for (int n : edgeOrder)
        ++seen[n];
    for (int n : interiorOrder)
        ++seen[n];
    for (int n = 1; n <= 256; ++n)
        if (seen[n] != 1) return false;
    return true;
}
static_assert(everyPieceOrderedOnce());
static_assert(orderPlaces[5].length == 56 && orderPlaces[61].length == 196);

}  // namespace

std::int32_t piecePriority(PieceCode code) {
    int k = 0;
    for (int colour : {rightOf(code), bottomOf(code), leftOf(code), topOf(code)}) {
        if (puzzleRun.ordering.shunnedColour[colour]) ++k;
        if (puzzleRun.ordering.favouredColour[colour]) --k;
    }
    const int n = pieceNumberOf(code) + 1;
    const OrderPlace place = n >= 1 && n <= 256 ? orderPlaces[n] : OrderPlace{0, 0};
    if (place.length == 0) {
        printOut("%d not found\n", n);
        return -1;
    }
    const std::int32_t positionPart =
        place.position * orderingScale / place.length + puzzleRun.scarcity.term[n - 1];
    if (place.length == static_cast<int>(cornerOrder.size())) return positionPart;
    return positionPart + colourWeight * k;
}

void reorderCandidateList(CandidateList list) {
    if (list == nullptr || list[1] == emptyCode) return;
    PieceCode* entries = list + 1;
    int n = 0;
    while (entries[n] != emptyCode)
        ++n;
    for (int i = 0; i + 1 < n; ++i) {
        // The pass compares against the entry that stood at i when it began.
        const std::int32_t a = piecePriority(entries[i]);
        for (int j = i + 1; j < n; ++j) {
            const std::int32_t b = piecePriority(entries[j]);
            const auto r =
                static_cast<std::int32_t>(nextRandom(program.mainRandom) % swapNoiseRange);
            if (r + a > b + swapNoiseOffset) {
                std::swap(entries[i], entries[j]);
                if (j == n - 1) {
                    entries[j] |= lastInListBit;
                    entries[i] &= ~lastInListBit;
                }
            }
        }
    }
}

void reorderCandidateTables() {
    const bool alsoOneColourLists = puzzle.timesOrdered > 0;
    ++puzzle.timesOrdered;
    for (int a = 0; a < colourCount; ++a) {
        for (int b = 0; b < 32; ++b)
            reorderCandidateList(puzzle.interiorByLeftTop[a * 32 + b]);
        if (alsoOneColourLists) reorderCandidateList(puzzle.interiorByLeft[a]);
    }
    for (int a = 0; a < colourCount; ++a) {
        for (int b = 0; b < 32; ++b)
            reorderCandidateList(puzzle.edgeByLeftTop[a * 32 + b]);
        if (alsoOneColourLists) reorderCandidateList(puzzle.edgeByLeft[a]);
    }
    for (int slot = 0; slot < pairSlots; ++slot)
        reorderCandidateList(puzzle.cornerByLeftTop[slot]);
    indexEditedLists();
}
