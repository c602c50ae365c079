#include "search/depth_steps.h"

#include <array>
#include <utility>

#include "puzzle/candidate_tables.h"
#include "puzzle/list_editing.h"
#include "results/full_boards.h"
#include "run/run_budget.h"
#include "run/run_setup.h"
#include "search/depth_properties.h"
#include "search/search_state.h"

namespace {

constexpr int lastDepth = depthCount - 1;

template <int D>
void depthStep();
template <int D>
void enterStep();

// The colour a neighbour shows towards the square: `field` of the code in `slot`, or the
// border colour where the square lies on the rim (slot -1).
template <int slot, int (*field)(PieceCode)>
inline int neighbourKey() {
    if constexpr (slot < 0)
        return borderColour;
    else
        return field(board[slot]);
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
        return interiorByLeftTop[index];
    else if constexpr (kind == 1)
        return edgeByLeftTop[index];
    else
        return cornerByLeftTop[index];
}

// The depth's candidate tests besides the piece being free.
template <int D>
inline bool passesTests(PieceCode code, int piece) {
    constexpr DepthProperties p = depthProperties(D);
    if constexpr (p.groupTest == GroupTest::firstListAndBarred) {
        // Barred pieces are first-list pieces, so one flag answers both tests here.
        if (inFirstList[piece]) return false;
    } else if constexpr (p.groupTest == GroupTest::limitedFirstList) {
        if (firstListBarred[piece]) return false;
        if (inFirstList[piece] && firstListPlaced >= 6) return false;
    } else if constexpr (p.groupTest == GroupTest::barredOnly) {
        if (firstListBarred[piece]) return false;
    }
    if constexpr (p.hintSideTest == 1) return rightOf(code) == leftOf(board[hintSlot]);
    if constexpr (p.hintSideTest == 2) return bottomOf(code) == topOf(board[hintSlot]);
    return true;
}

template <int D>
inline void removeListedPiece(int piece) {
    constexpr Removals removals = depthProperties(D).removals;
    if constexpr (removals == Removals::allPlaced) {
        removePlacedPieces(D);
    } else if constexpr (removals == Removals::interiorAllTables) {
        removePiece(piece, interiorByLeftTop);
        removePieceByTop(piece);
        removePieceByLeft(piece);
    } else if constexpr (removals == Removals::interiorPairOnly) {
        removePiece(piece, interiorByLeftTop);
    } else if constexpr (removals == Removals::edgePair) {
        removePiece(piece, edgeByLeftTop);
    }
}

template <int D>
inline void restoreListedPiece() {
    constexpr Removals removals = depthProperties(D).removals;
    if constexpr (removals == Removals::allPlaced) {
        restoreAll();
    } else if constexpr (removals == Removals::interiorAllTables) {
        restorePiece();
        restorePieceByTop();
        restorePieceByLeft();
    } else if constexpr (removals == Removals::interiorPairOnly || removals == Removals::edgePair) {
        restorePiece();
    }
}

// The exact phase: every free candidate of the list that passes the depth's tests.
template <int D>
inline void exactPhase(CandidateList list) {
    constexpr DepthProperties p = depthProperties(D);
    // Entries are read from the list itself after each deeper call: deeper steps edit the
    // list and put it back as it was before they return.
    for (const PieceCode* entry = list + 1;; ++entry) {
        const PieceCode code = *entry;
        const int piece = pieceNumberOf(code);
        if (pieceFree[piece] && passesTests<D>(code, piece)) {
            board[p.slot] = code;
            pieceFree[piece] = 0;
            if constexpr (p.checksBudget) checkRunBudget();
            removeListedPiece<D>(piece);
            std::int32_t* groupCount = nullptr;
            if constexpr (p.groupRules) {
                if (inFirstList[piece])
                    groupCount = &firstListPlaced;
                else if (inSecondList[piece])
                    groupCount = &secondListPlaced;
                if (groupCount) ++*groupCount;
            }
            enterStep<D + 1>();
            if constexpr (p.groupRules) {
                if (groupCount) --*groupCount;
            }
            restoreListedPiece<D>();
            ++nodeCount;
            pieceFree[piece] = 1;
        }
        if (isLastInList(code)) return;
    }
}

// One mismatch pass: pieces of `list` that are free and do not fit on the skipped side.
template <int D, typename SkipTest>
inline void mismatchPass(CandidateList list, SkipTest fits) {
    constexpr int slot = depthProperties(D).slot;
    if (list == nullptr) return;
    for (const PieceCode* entry = list + 1;; ++entry) {
        const PieceCode code = *entry;
        const int piece = pieceNumberOf(code);
        if (pieceFree[piece] && !fits(code)) {
            ++mismatchCount;
            board[slot] = code;
            pieceFree[piece] = 0;
            enterStep<D + 1>();
            --mismatchCount;
            ++nodeCount;
            pieceFree[piece] = 1;
        }
        if (isLastInList(code)) return;
    }
}

template <int D>
inline void mismatchPhase(int left, int top) {
    constexpr DepthProperties p = depthProperties(D);
    if (mismatchCount >= p.mismatchLimit) return;
    // A run can search the last squares for minutes without a budget check; a stop request
    // (or the node limit) is honoured here too, so that the program ends soon and with its
    // statistics saved.
    if (runStopDue()) stopRun();
    if constexpr (p.mismatchPasses == MismatchPasses::interior) {
        mismatchPass<D>(interiorByTop[top], [left](PieceCode c) { return leftOf(c) == left; });
        mismatchPass<D>(interiorByLeft[left], [top](PieceCode c) { return topOf(c) == top; });
    } else if constexpr (p.mismatchPasses == MismatchPasses::rightColumn) {
        mismatchPass<D>(edgeByRightTop[borderColour * 32 + top],
                        [left](PieceCode c) { return leftOf(c) == left; });
    } else {
        mismatchPass<D>(edgeByBottomLeft[borderColour * 32 + left],
                        [top](PieceCode c) { return topOf(c) == top; });
    }
}

template <int D>
[[gnu::always_inline]] inline void stepBody() {
    constexpr DepthProperties p = depthProperties(D);
    if constexpr (p.raisesDeepest) {
        if (deepestReached < D + 1) deepestReached = D + 1;
    }
    if constexpr (p.countsVisits) ++depthVisits[D];
    if constexpr (p.groupRules) {
        if (secondListPlaced < secondListMinimum[D]) return;
    }
    const int left = leftKey<D>();
    const int top = topKey<D>();
    const CandidateList list = exactList<D>(left, top);
    if (list != nullptr) exactPhase<D>(list);
    if constexpr (p.mismatchLimit > 0) mismatchPhase<D>(left, top);
}

// The last square, the bottom-right corner: exact fits only, each a full board.
template <>
[[gnu::always_inline]] inline void stepBody<lastDepth>() {
    constexpr DepthProperties p = depthProperties(lastDepth);
    if (deepestReached < lastDepth + 1) deepestReached = lastDepth + 1;
    const CandidateList list = cornerByRightBottom[borderColour * 32 + borderColour];
    if (list == nullptr) return;
    const int left = leftKey<lastDepth>();
    const int top = topKey<lastDepth>();
    for (const PieceCode* entry = list + 1;; ++entry) {
        const PieceCode code = *entry;
        const int piece = pieceNumberOf(code);
        if (pieceFree[piece] && leftOf(code) == left && topOf(code) == top) {
            board[p.slot] = code;
            pieceFree[piece] = 0;
            onFullBoard();
            ++nodeCount;
            pieceFree[piece] = 1;
        }
        if (isLastInList(code)) return;
    }
}

// Every step has a routine of its own, and each odd step is also merged into the routine of the
// step before it, which saves half of the calls and returns on the hot path.
template <int D>
[[gnu::noinline]] void depthStep() {
    stepBody<D>();
}

template <int D>
[[gnu::always_inline]] inline void enterStep() {
    if constexpr (D % 2 != 0 && D < lastDepth)
        stepBody<D>();
    else
        depthStep<D>();
}

template <std::size_t... D>
constexpr std::array<void (*)(), sizeof...(D)> stepTable(std::index_sequence<D...>) {
    return {&depthStep<static_cast<int>(D)>...};
}

constexpr auto depthSteps = stepTable(std::make_index_sequence<depthCount>());

}  // namespace

void searchFromStart() {
    depthStep<0>();
}

void searchFromDepth(int depth) {
    depthSteps[depth]();
}
