// Everything that differs between the depths of the search, as compile-time constants.
#pragma once

#include "search/board_geometry.h"
#include "search/depth_windows.h"

// Which extra candidate tests the step of a depth makes.
enum class GroupTest { firstListAndBarred, limitedFirstList, barredOnly, none };
// Which mismatch passes a step runs after its exact candidates.
enum class MismatchPasses { none, interior, rightColumn, bottomRow };
// Which list removals a step makes for its placed piece.
enum class Removals { none, allPlaced, interiorAllTables, interiorPairOnly, edgePair };

struct DepthProperties {
    int slot;      // board slot filled
    int leftSlot;  // slot of the left neighbour, or -1 in column 0
    int upSlot;    // slot of the upper neighbour, or -1 in row 0
    int kind;      // 2 corner, 1 edge, 0 interior
    bool countsVisits;
    bool groupRules;    // minimum test on entry and counting of group pieces
    bool checksBudget;  // calls checkRunBudget after every placement
    bool raisesDeepest;
    GroupTest groupTest;
    Removals removals;
    MismatchPasses mismatchPasses;
    int mismatchLimit;
    int hintSideTest;  // 1: right must equal the hint's left; 2: bottom must equal its top
};

constexpr DepthProperties depthProperties(int d) {
    const Square sq = fillSquares[d];
    DepthProperties p{};
    p.slot = fillOrder[d];
    p.leftSlot = sq.col > 0 ? squareSlot[sq.row][sq.col - 1] : -1;
    p.upSlot = sq.row > 0 ? squareSlot[sq.row - 1][sq.col] : -1;
    p.kind = squareKind[p.slot];
    p.countsVisits = d == 0 || (d >= firstCountedVisitDepth && d <= lastCountedVisitDepth);
    p.groupRules = d <= lastGroupRulesDepth;
    p.checksBudget = d <= lastBudgetCheckDepth;
    p.raisesDeepest = d >= firstDeepestDepth;
    p.groupTest = d <= lastFirstListBarredDepth    ? GroupTest::firstListAndBarred
                  : d <= lastLimitedFirstListDepth ? GroupTest::limitedFirstList
                  : d <= lastBarredDepth           ? GroupTest::barredOnly
                                                   : GroupTest::none;
    const bool pairRemovals = d > placedRemovalDepth && d <= lastPairRemovalDepth;
    if (d == placedRemovalDepth)
        p.removals = Removals::allPlaced;
    else if (pairRemovals && p.kind == 1)
        p.removals = Removals::edgePair;
    else if (pairRemovals && p.kind == 0)
        p.removals =
            d <= lastColourRemovalDepth ? Removals::interiorAllTables : Removals::interiorPairOnly;
    p.mismatchLimit = mismatchLimitOf(d);
    if (p.mismatchLimit > 0)
        p.mismatchPasses = p.kind == 0    ? MismatchPasses::interior
                           : sq.col == 15 ? MismatchPasses::rightColumn
                                          : MismatchPasses::bottomRow;
    p.hintSideTest = sq == Square{7, 6} ? 1 : sq == Square{6, 7} ? 2 : 0;
    return p;
}

namespace depth_checks {
constexpr bool rimMismatchOnlyOnRightColumnAndBottomRow() {
    for (int d = 0; d < depthCount; ++d) {
        const DepthProperties p = depthProperties(d);
        if (p.mismatchLimit == 0) continue;
        if (p.kind == 2) return false;
        const Square sq = fillSquares[d];
        if (p.kind == 1 && sq.col != 15 && sq.row != 15) return false;
    }
    return true;
}
}  // namespace depth_checks

static_assert(depth_checks::rimMismatchOnlyOnRightColumnAndBottomRow());
static_assert(mismatchLimitOf(193) == 1 && mismatchLimitOf(201) == 1 && mismatchLimitOf(202) == 2);
static_assert(mismatchLimitOf(208) == 2 && mismatchLimitOf(209) == 3 && mismatchLimitOf(237) == 10);
static_assert(mismatchLimitOf(239) == 11 && mismatchLimitOf(246) == 15 &&
              mismatchLimitOf(247) == 16);
static_assert(mismatchLimitOf(253) == 17 && mismatchLimitOf(254) == 0 && mismatchLimitOf(194) == 0);
static_assert(depthProperties(103).hintSideTest == 1 && depthProperties(118).hintSideTest == 2);
static_assert(depthProperties(134).leftSlot == hintSlot && depthProperties(119).upSlot == hintSlot);
static_assert(depthProperties(95).removals == Removals::edgePair);
static_assert(depthProperties(111).removals == Removals::edgePair);
static_assert(depthProperties(113).removals == Removals::interiorPairOnly);
