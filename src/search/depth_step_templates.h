// The depth steps as templates: the step of every depth under every set of rules. Only the
// depth_steps*.cpp files include this; each instantiates the steps of some of the rules in a
// translation unit of its own, so that they compile side by side, and each keeps its own copy
// (the templates are internal to it), so that nothing of one set of rules waits on another.
#pragma once

#include <array>
#include <bit>
#include <utility>

#include "puzzle/candidate_tables.h"
#include "puzzle/list_editing.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/puzzle_tables.h"
#include "search/depth_profile.h"
#include "search/depth_properties.h"
#include "search/depth_steps.h"
#include "search/depth_windows.h"
#include "search/placed_removals.h"
#include "search/rim_look_ahead.h"
#include "search/search_hooks.h"
#include "search/search_option_list.h"
#include "search/search_options.h"
#include "search/search_state.h"
#include "search/shallow_lists.h"

namespace {

constexpr int lastDepth = depthCount - 1;

template <int D, StepRules R>
void depthStep();
template <int D, StepRules R>
void enterStep();
template <int D, StepRules R>
void copyPhase(int list);

// Whether the steps of the rules `r` have the group rules: the solver's own, and the steps
// with options, which apply them as the run's flags and minimums say.
constexpr bool withGroupRules(StepRules r) {
    return r == StepRules::groups || r == StepRules::withOptions;
}

// The depth's properties under the rules R: without group rules no step tests, counts or
// requires group pieces.
constexpr DepthProperties stepProperties(int d, StepRules r) {
    DepthProperties p = depthProperties(d);
    if (!withGroupRules(r)) {
        p.groupRules = false;
        p.groupTest = GroupTest::none;
    }
    return p;
}

// The instance of the step of depth `d` that serves the rules `r`: past the depths with group
// rules the steps of the solver's rules serve a search without them too, so that only the
// first depths are made twice. A search that keeps its deepest board and the steps with
// options have steps of their own.
constexpr StepRules stepInstance(int d, StepRules r) {
    return r == StepRules::noGroups && !depthProperties(d).groupRules ? StepRules::groups : r;
}

// Called as a piece is put on the square of depth D: a search that keeps its deepest board
// copies the board when it reaches a new depth; the others when the placement may beat the
// deepest board kept so far, which is rare.
template <int D, StepRules R>
[[gnu::always_inline]] inline void notePlacement() {
    if constexpr (R == StepRules::noGroupsKeepingDeepest) {
        if (D > search.deepestDepth) keepDeepestBoard(D);
    } else {
        if (D >= search.keepFrom) [[unlikely]]
            noteDeepPlacement(D);
    }
}

// The hooks of the step options, in the order of the list: every walk over them is here.
template <class List>
struct StepOptionHooks;
template <class... Option>
struct StepOptionHooks<OptionList<Option...>> {
    // Calls `call.template operator()<O>()` for each option O that acts in the steps, in order.
    template <class Call>
    [[gnu::always_inline]] static void forEach(const Call& call) {
        const auto one = [&]<class O>() {
            if constexpr (ActsInSteps<O>) call.template operator()<O>();
        };
        (one.template operator()<Option>(), ...);
    }
    // Sets each option up for a search (`allowed` false: the search has no options) and turns
    // off in runOptions those that cannot act; whether any acts.
    static bool start(bool allowed) {
        bool any = false;
        forEach([&]<class O>() {
            std::int64_t& value = runOptions.of<O>();
            value = O::startSteps(allowed ? value : 0);
            any = any || value != 0;
        });
        return any;
    }
    static void resumeAt(int depth) {
        forEach([depth]<class O>() { O::resumeAt(depth); });
    }
    template <int D>
    [[gnu::always_inline]] static void enter() {
        forEach([]<class O>() { O::template enter<D>(); });
    }
    // Whether an option refuses the placement, asking each in turn: once one refuses, those that
    // took it on before give it back.
    template <int D, bool exact, class First, class... Rest>
    [[gnu::always_inline]] static bool refusedFrom(PieceCode code, int piece) {
        if constexpr (ActsInSteps<First>) {
            if (First::template refuses<D, exact>(code, piece)) return true;
        }
        if constexpr (sizeof...(Rest) > 0) {
            if (refusedFrom<D, exact, Rest...>(code, piece)) {
                if constexpr (ActsInSteps<First>) First::template giveBack<D, exact>(code, piece);
                return true;
            }
        }
        return false;
    }
    template <int D, bool exact>
    [[gnu::always_inline]] static bool refuses(PieceCode code, int piece) {
        return refusedFrom<D, exact, Option...>(code, piece);
    }
    template <int D, bool exact>
    [[gnu::always_inline]] static void giveBack(PieceCode code, int piece) {
        forEach([&]<class O>() { O::template giveBack<D, exact>(code, piece); });
    }
};
using StepOptions = StepOptionHooks<SearchOptionList>;

// Whether the steps with options refuse to place `code` (of `piece`) on the square of depth D,
// exactly or with one mismatched edge: each step option that is on may. A placement made gives
// back what they took with giveBackPlacement once its deeper call has returned.
template <int D, StepRules R, bool exact>
[[gnu::always_inline]] inline bool refusesPlacement(PieceCode code, int piece) {
    if constexpr (R == StepRules::withOptions) return StepOptions::refuses<D, exact>(code, piece);
    return false;
}

template <int D, StepRules R, bool exact>
[[gnu::always_inline]] inline void giveBackPlacement(PieceCode code, int piece) {
    if constexpr (R == StepRules::withOptions) StepOptions::giveBack<D, exact>(code, piece);
}

// The colour a neighbour shows towards the square: `field` of the code in `slot`, or the
// border colour where the square lies on the rim (slot -1).
template <int slot, int (*field)(PieceCode)>
inline int neighbourKey() {
    if constexpr (slot < 0)
        return borderColour;
    else
        return field(search.board[slot]);
}

template <int D>
inline int leftKey() {
    return neighbourKey<depthProperties(D).leftSlot, rightOf>();
}

template <int D>
inline int topKey() {
    return neighbourKey<depthProperties(D).upSlot, bottomOf>();
}

template <int D>
inline CandidateList exactList(int left, int top) {
    constexpr int kind = depthProperties(D).kind;
    const int index = left * 32 + top;
    if constexpr (kind == 0)
        return puzzle.interiorByLeftTop[index];
    else if constexpr (kind == 1)
        return puzzle.edgeByLeftTop[index];
    else
        return puzzle.cornerByLeftTop[index];
}

// The depth's candidate tests besides the piece being free.
template <int D, StepRules R>
inline bool passesTests(PieceCode code, int piece) {
    constexpr DepthProperties p = stepProperties(D, R);
    if constexpr (p.groupTest == GroupTest::firstListAndBarred) {
        // Barred pieces are first-list pieces, so one flag answers both tests here.
        if (search.groupFlags.inFirstList[piece]) return false;
    } else if constexpr (p.groupTest == GroupTest::limitedFirstList) {
        if (search.groupFlags.firstListBarred[piece]) return false;
        if (search.groupFlags.inFirstList[piece] && search.firstListPlaced >= mostFirstListPlaced)
            return false;
    } else if constexpr (p.groupTest == GroupTest::barredOnly) {
        if (search.groupFlags.firstListBarred[piece]) return false;
    }
    if constexpr (p.hintSideTest == 1) return rightOf(code) == leftOf(search.board[hintSlot]);
    if constexpr (p.hintSideTest == 2) return bottomOf(code) == topOf(search.board[hintSlot]);
    return true;
}

// The frame of the list edits in which a piece placed at depth D waits for its removals from
// the [left][top] tables.
template <int D>
constexpr int waitingFrame() {
    constexpr int frame = D - placedRemovalDepth - 1;
    static_assert(frame >= 0 && frame < waitingFrameCount);
    return frame;
}

template <int D>
inline void removeListedPiece(int piece) {
    constexpr Removals removals = depthProperties(D).removals;
    if constexpr (removals == Removals::allPlaced) {
        removePlacedPieces(D);
    } else if constexpr (removals == Removals::interiorAllTables) {
        waitRemovals(waitingFrame<D>(), piece, 0);
        deferRemovalsByTopAndLeft(piece);
    } else if constexpr (removals == Removals::interiorPairOnly) {
        waitRemovals(waitingFrame<D>(), piece, 0);
    } else if constexpr (removals == Removals::edgePair) {
        waitRemovals(waitingFrame<D>(), piece, 1);
    }
}

template <int D>
inline void restoreListedPiece() {
    constexpr Removals removals = depthProperties(D).removals;
    if constexpr (removals == Removals::allPlaced) {
        restoreAll();
    } else if constexpr (removals == Removals::interiorAllTables) {
        undoWaitingRemovals(waitingFrame<D>());
        restoreDeferredRemovals();
    } else if constexpr (removals == Removals::interiorPairOnly || removals == Removals::edgePair) {
        undoWaitingRemovals(waitingFrame<D>());
    }
}

// Makes the removals of placed pieces that wait for the list the step of depth D reads: every
// one at the first depth past those that place such pieces, whose deeper steps read lists
// without asking; those of its own list at a depth among them.
template <int D>
[[gnu::always_inline]] inline void makeRemovalsBeforeReading(int left, int top) {
    constexpr int kind = depthProperties(D).kind;
    if constexpr (D == lastPairRemovalDepth + 1) {
        if (puzzleRun.edits.framesWaiting != 0) makeAllWaitingRemovals();
    } else if constexpr (D > placedRemovalDepth + 1 && D <= lastPairRemovalDepth && kind < 2) {
        const int index = left * 32 + top;
        if (removalsWaitFor(puzzleRun.edits, kind, index)) [[unlikely]]
            makeWaitingRemovals(kind, index);
    }
}

// The count that a placed piece raises at the depths with group rules, or null: a piece in
// both group lists counts as a first-list piece only.
inline std::int32_t* groupCountOf(int piece) {
    if (search.groupFlags.inFirstList[piece]) return &search.firstListPlaced;
    if (search.groupFlags.inSecondList[piece]) return &search.secondListPlaced;
    return nullptr;
}

// Enters the next step with the piece just placed counted in its group list, at the depths
// with group rules.
template <int D, StepRules R>
[[gnu::always_inline]] inline void enterNextCounting(int piece) {
    if constexpr (stepProperties(D, R).groupRules) {
        std::int32_t* const groupCount = groupCountOf(piece);
        if (groupCount) ++*groupCount;
        enterStep<D + 1, stepInstance(D + 1, R)>();
        if (groupCount) --*groupCount;
    } else {
        enterStep<D + 1, stepInstance(D + 1, R)>();
    }
}

// The exact phase: every free candidate of the list that passes the depth's tests.
template <int D, StepRules R>
inline void exactPhase(CandidateList list) {
    constexpr DepthProperties p = stepProperties(D, R);
    // Entries are read from the list itself after each deeper call: deeper steps edit the
    // list and put it back as it was before they return.
    for (const PieceCode* entry = list + 1;; ++entry) {
        const PieceCode code = *entry;
        const int piece = pieceNumberOf(code);
        if (search.pieceFree[piece] && passesTests<D, R>(code, piece) &&
            !refusesPlacement<D, R, true>(code, piece)) {
            search.board[p.slot] = code;
            notePlacement<D, R>();
            search.pieceFree[piece] = 0;
            if constexpr (p.checksBudget) checkRunBudget();
            removeListedPiece<D>(piece);
            enterNextCounting<D, R>(piece);
            restoreListedPiece<D>();
            ++search.nodeCount;
            search.pieceFree[piece] = 1;
            giveBackPlacement<D, R, true>(code, piece);
        }
        if (isLastInList(code)) return;
    }
}

template <int D, StepRules R>
[[gnu::noinline]] void copyWalk(int list);

// The copy of the shallow step of depth D as the board stands, or 0 when the step would
// return at once: its minimum test fails with `placed` counted second-list pieces on the
// board (a run that walks the copies has the minimums that every run sets, or under the steps
// with options none), or its copy has no free entry.
template <int D, StepRules R>
[[gnu::always_inline]] inline int copyListIfOpen(std::int32_t placed) {
    constexpr DepthProperties p = stepProperties(D, R);
    if constexpr (p.groupRules && runSecondListMinimum(D) > 0) {
        if constexpr (R == StepRules::withOptions) {
            if (placed < search.groupFlags.secondListMinimum[D]) return 0;
        } else {
            if (placed < runSecondListMinimum(D)) return 0;
        }
    }
    const int list = search.shallow.byLeftTop[p.kind][leftKey<D>() * 32 + topKey<D>()];
    return search.shallow.free[list] != 0 ? list : 0;
}

// Walks the copy of a shallow step. The first 48 depths fill the three left columns row by
// row, so each row is one routine: the step of column 0 is called, those of columns 1 and 2
// walk in place.
template <int D, StepRules R>
[[gnu::always_inline]] inline void walkCopy(int list) {
    if constexpr (D % 3 != 0)
        copyPhase<D, R>(list);
    else
        copyWalk<D, R>(list);
}

// Places one free entry of a shallow step's copy, passing the step's tests by construction,
// and counts the node. The next step's entry is made here: a placement after which it would
// return at once (its minimum test fails or its copy has no free entry, as often happens)
// is counted as a node, with the budget check that follows every placement, and is taken
// back without more ado; the free flag is written only around a budget check that can act.
// (A copy whose only free entries are of the piece just placed is walked, finding nothing,
// which counts the same.) A counted second-list piece is counted from its entry's
// countedBit, without a test; without group rules no entry carries that bit and nothing is
// counted.
template <int D, StepRules R>
[[gnu::always_inline]] inline void placeCopyEntry(PieceCode word) {
    constexpr DepthProperties p = stepProperties(D, R);
    static_assert(p.checksBudget && p.removals == Removals::none && p.hintSideTest == 0);
    static_assert(p.groupRules ? p.groupTest == GroupTest::firstListAndBarred
                               : p.groupTest == GroupTest::none);
    const PieceCode code = word & ~countedBit;
    const int piece = pieceNumberOf(code);
    search.board[p.slot] = code;
    notePlacement<D, R>();
    std::int32_t counted = 0;
    if constexpr (p.groupRules)
        counted = static_cast<std::int32_t>(static_cast<std::uint32_t>(word) >> 31);
    constexpr bool nextWalksCopy = D + 1 < shallowDepthEnd;
    int next = 0;
    if constexpr (nextWalksCopy) {
        next = copyListIfOpen<D + 1, R>(search.secondListPlaced + counted);
        if (next == 0) {
            if (search.nodeCount > runSignals.budgetAttention.load(std::memory_order_relaxed)) {
                search.pieceFree[piece] = 0;
                search.hooks.budgetRules();
                search.pieceFree[piece] = 1;
            }
            ++search.nodeCount;
            return;
        }
    }
    search.pieceFree[piece] = 0;
    search.shallow.takePiece(piece);
    checkRunBudget();
    if constexpr (p.groupRules) search.secondListPlaced += counted;
    if constexpr (nextWalksCopy)
        walkCopy<D + 1, R>(next);
    else
        enterStep<D + 1, stepInstance(D + 1, R)>();
    if constexpr (p.groupRules) search.secondListPlaced -= counted;
    ++search.nodeCount;
    search.shallow.returnPiece(piece);
    search.pieceFree[piece] = 1;
}

// The exact phase of a shallow depth walking the run's copy of its list: every entry passes
// the depth's tests, and the free ones are placed in list order. Deeper steps give back
// every entry they take before they return, so the mask read on entry stays true. No list
// is edited at these depths.
template <int D, StepRules R>
inline void copyPhase(int list) {
    const PieceCode* entries = search.shallow.entries.data() + search.shallow.start[list];
    for (std::uint64_t free = search.shallow.free[list]; free != 0; free &= free - 1)
        placeCopyEntry<D, R>(entries[std::countr_zero(free)]);
}

template <int D, StepRules R>
[[gnu::noinline]] void copyWalk(int list) {
    copyPhase<D, R>(list);
}

// The exact phase of the step that takes every placed piece out of the lists (depth 80).
// Taken literally, it removes the pieces of depths 0 to 79 after placing each candidate and
// restores every list before the next. Those removals are the same for every candidate of a
// visit (they read only the squares of depths 0 to 79, from lists that each restore brings
// back to the state of the visit's start), and so is the list walked. So when the stacks are
// empty on entry, the step walks a copy of its list, removes once, after its first placement,
// and restores once at the end: deeper steps meet the same lists in the same order, and a
// stop in between restores everything as before. Removals recorded by a loaded board are
// undone by the first restore, which changes the lists from the state of the visit's start,
// so a visit that finds them on the stacks edits literally.
template <int D, StepRules R>
inline void exactPhaseRemovingPlaced(CandidateList list) {
    constexpr DepthProperties p = stepProperties(D, R);
    static_assert(p.checksBudget);
    if (anyRemovalsRecorded()) {
        exactPhase<D, R>(list);
        return;
    }
    std::array<PieceCode, 4 * 256> entries;
    int count = 0;
    for (const PieceCode* entry = list + 1;; ++entry) {
        entries[count++] = *entry;
        if (isLastInList(*entry)) break;
    }
    bool removed = false;
    for (int k = 0; k < count; ++k) {
        const PieceCode code = entries[k];
        const int piece = pieceNumberOf(code);
        if (search.pieceFree[piece] && passesTests<D, R>(code, piece)) {
            search.board[p.slot] = code;
            notePlacement<D, R>();
            search.pieceFree[piece] = 0;
            checkRunBudget();
            if (!removed) {
                removePlacedPieces(D);
                removed = true;
            }
            enterNextCounting<D, R>(piece);
            ++search.nodeCount;
            search.pieceFree[piece] = 1;
        }
    }
    if (removed) restoreAll();
}

// One mismatch pass: pieces of `list` that are free and do not fit on the skipped side.
template <int D, StepRules R, typename SkipTest>
inline void mismatchPass(CandidateList list, SkipTest fits) {
    constexpr int slot = depthProperties(D).slot;
    if (list == nullptr) return;
    for (const PieceCode* entry = list + 1;; ++entry) {
        const PieceCode code = *entry;
        const int piece = pieceNumberOf(code);
        if (search.pieceFree[piece] && !fits(code) && !refusesPlacement<D, R, false>(code, piece)) {
            ++search.mismatchCount;
            search.board[slot] = code;
            notePlacement<D, R>();
            search.pieceFree[piece] = 0;
            enterStep<D + 1, stepInstance(D + 1, R)>();
            --search.mismatchCount;
            ++search.nodeCount;
            search.pieceFree[piece] = 1;
            giveBackPlacement<D, R, false>(code, piece);
        }
        if (isLastInList(code)) return;
    }
}

template <int D, StepRules R>
inline void mismatchPhase(int left, int top) {
    constexpr DepthProperties p = depthProperties(D);
    if (search.mismatchCount >= p.mismatchLimit) return;
    // A run can search the last squares for minutes without a budget check; a stop request
    // (or the node limit) is honoured here too, so that the program ends soon and with its
    // statistics saved.
    if (runStopDue()) search.hooks.stopRun();
    if constexpr (p.mismatchPasses == MismatchPasses::interior) {
        if (removalsDeferred()) applyDeferredRemovals();
        mismatchPass<D, R>(puzzle.interiorByTop[top],
                           [left](PieceCode c) { return leftOf(c) == left; });
        mismatchPass<D, R>(puzzle.interiorByLeft[left],
                           [top](PieceCode c) { return topOf(c) == top; });
    } else if constexpr (p.mismatchPasses == MismatchPasses::rightColumn) {
        mismatchPass<D, R>(puzzle.edgeByRightTop[borderColour * 32 + top],
                           [left](PieceCode c) { return leftOf(c) == left; });
    } else {
        mismatchPass<D, R>(puzzle.edgeByBottomLeft[borderColour * 32 + left],
                           [top](PieceCode c) { return topOf(c) == top; });
    }
}

template <int D, StepRules R>
[[gnu::always_inline]] inline void stepBody() {
    constexpr DepthProperties p = stepProperties(D, R);
    if constexpr (p.raisesDeepest) {
        if (search.deepestReached < D + 1) search.deepestReached = D + 1;
    }
    if constexpr (p.countsVisits) ++search.depthVisits[D];
    if constexpr (p.groupRules) {
        if (search.secondListPlaced < search.groupFlags.secondListMinimum[D]) return;
    }
    const int left = leftKey<D>();
    const int top = topKey<D>();
    makeRemovalsBeforeReading<D>(left, top);
    const CandidateList list = exactList<D>(left, top);
    if constexpr (p.removals == Removals::allPlaced) {
        if (list != nullptr) exactPhaseRemovingPlaced<D, R>(list);
    } else {
        if (list != nullptr) exactPhase<D, R>(list);
    }
    if constexpr (p.mismatchLimit > 0) mismatchPhase<D, R>(left, top);
}

// The last square, the bottom-right corner: exact fits only, each a full board.
template <StepRules R>
[[gnu::always_inline]] inline void lastStepBody() {
    constexpr DepthProperties p = depthProperties(lastDepth);
    if (search.deepestReached < lastDepth + 1) search.deepestReached = lastDepth + 1;
    const CandidateList list = puzzle.cornerByRightBottom[borderColour * 32 + borderColour];
    if (list == nullptr) return;
    const int left = leftKey<lastDepth>();
    const int top = topKey<lastDepth>();
    for (const PieceCode* entry = list + 1;; ++entry) {
        const PieceCode code = *entry;
        const int piece = pieceNumberOf(code);
        if (search.pieceFree[piece] && leftOf(code) == left && topOf(code) == top) {
            search.board[p.slot] = code;
            notePlacement<lastDepth, R>();
            search.pieceFree[piece] = 0;
            search.hooks.fullBoard();
            ++search.nodeCount;
            search.pieceFree[piece] = 1;
        }
        if (isLastInList(code)) return;
    }
}

template <int D, StepRules R>
[[gnu::always_inline]] inline void stepOrLastStep() {
    if constexpr (D == lastDepth)
        lastStepBody<R>();
    else
        stepBody<D, R>();
}

// The step, and under the profile its first entry with the board filled deeper than any dead
// end before in the run (from firstDeadEndDepth on): when it places nothing, what ended the
// branch is noted.
template <int D, StepRules R>
[[gnu::always_inline]] inline void judgedStep() {
    if constexpr (R == StepRules::withOptions && D > firstDeadEndDepth) {
        if (D - 1 > runRecord<DepthProfile>().deadEndDepth && runOptions.of<ProfileOption>() != 0) {
            const RimLookAhead& rim = runRecord<RimLookAhead>();
            const MismatchBound& bound = runRecord<MismatchBound>();
            const std::int64_t nodes = search.nodeCount;
            const std::int64_t refusals = rim.refusals;
            const std::int64_t boundRefusals = bound.refusals;
            stepOrLastStep<D, R>();
            if (search.nodeCount == nodes)
                noteDeadEnd(D, rim.refusals != refusals, bound.refusals != boundRefusals);
            return;
        }
    }
    stepOrLastStep<D, R>();
}

// A step's work. The steps with options call the step options on entering the step, and count
// the nodes below every entry into a profiled depth.
template <int D, StepRules R>
[[gnu::always_inline]] inline void runStep() {
    if constexpr (R == StepRules::withOptions) StepOptions::enter<D>();
    if constexpr (R == StepRules::withOptions && profileIndex(D) >= 0) {
        constexpr int i = profileIndex(D);
        DepthProfile& depthProfile = runRecord<DepthProfile>();
        depthProfile.enteredAt[i] = search.nodeCount;
        judgedStep<D, R>();
        depthProfile.nodesFrom[i] += search.nodeCount - depthProfile.enteredAt[i];
        depthProfile.enteredAt[i] = -1;
    } else {
        stepOrLastStep<D, R>();
    }
}

// Every step has a routine of its own, and each odd step is also merged into the routine of the
// step before it, which saves half of the calls and returns on the hot path.
template <int D, StepRules R>
[[gnu::noinline]] void depthStep() {
    runStep<D, R>();
}

template <int D, StepRules R>
[[gnu::always_inline]] inline void enterStep() {
    if constexpr (D % 2 != 0 && D < lastDepth)
        runStep<D, R>();
    else
        depthStep<D, R>();
}

template <StepRules R, std::size_t... D>
constexpr std::array<void (*)(), sizeof...(D)> stepTable(std::index_sequence<D...>) {
    return {&depthStep<static_cast<int>(D), R>...};
}

// Whether the shallow depths have the minimums that every run sets (or, with `orNone`, no
// minimums at all); tests set others.
bool runMinimumsAtShallowDepths(bool orNone) {
    bool run = true;
    bool none = true;
    for (int d = 0; d < shallowDepthEnd; ++d) {
        run = run && search.groupFlags.secondListMinimum[d] == runSecondListMinimum(d);
        none = none && search.groupFlags.secondListMinimum[d] == 0;
    }
    return run || (orNone && none);
}

// The search of a run under the rules R.
template <StepRules R>
void searchUnder() {
    // A loaded board's removals are undone by the first restore at depth 80, which changes
    // the order of the lists that the first depths are walking; such a run walks the lists,
    // as does one whose lists are too long to copy.
    const bool otherMinimums =
        withGroupRules(R) && !runMinimumsAtShallowDepths(R == StepRules::withOptions);
    if (anyRemovalsRecorded() || otherMinimums || !buildShallowLists()) {
        depthStep<0, R>();
        return;
    }
    // Depth 0 as a step that walks its copy, entered as every later shallow step is.
    static_assert(depthProperties(0).countsVisits);
    ++search.depthVisits[0];
    const int list = copyListIfOpen<0, R>(search.secondListPlaced);
    if (list != 0) copyPhase<0, R>(list);
}

}  // namespace
