// The state of the search of the current run, touched only by the run thread: the board, the
// free pieces, the counters and the group flags that the depth steps read and keep.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "puzzle/piece_code.h"
#include "search/shallow_lists.h"

// An array of N copies of `value`, for the start values of the records' tables.
template <typename T, std::size_t N>
constexpr std::array<T, N> filled(T value) {
    std::array<T, N> values{};
    values.fill(value);
    return values;
}

struct SearchState {
    // PieceCode on each board slot, or emptyCode.
    std::array<PieceCode, 256> board = filled<PieceCode, 256>(emptyCode);
    // 1 while a piece is not on the board, by piece number.
    std::array<std::int32_t, 256> pieceFree = filled<std::int32_t, 256>(1);
    // Pieces tried and taken back in this run.
    std::int64_t nodeCount = 0;
    // Mismatched edges on the board at the moment.
    std::int32_t mismatchCount = 0;
    // -1, or the most pieces (hint included) the board has held at once, from 250 on.
    std::int32_t deepestReached = -1;
    // Entries into the step of each depth, minus one; kept for depth 0 and depths 160 to 170.
    std::array<std::int64_t, 256> depthVisits = filled<std::int64_t, 256>(-1);

    // groupFlags.inFirstList and groupFlags.inSecondList pieces on the board.
    std::int32_t firstListPlaced = 0;
    std::int32_t secondListPlaced = 0;

    // The board as the run's search began: set up, a loaded board's pieces and the hint on it.
    std::array<PieceCode, 256> startBoard = filled<PieceCode, 256>(emptyCode);
    // Kept only by a search that keeps its deepest board: the deepest depth at which the run
    // has placed a piece (-1 before the first), and the board as it stood at that placement;
    // its slots of depths 0 to deepestDepth (and the hint's) hold the run's deepest path.
    std::int32_t deepestDepth = -1;
    std::array<PieceCode, 256> deepestBoard = filled<PieceCode, 256>(emptyCode);
    // The other searches keep a board only when it beats the deepest board kept so far (over
    // runs and starts): a placement at depth keepFrom or deeper is compared with it (deepestDepth
    // and deepestMismatches, which the run's set-up sets from it), and kept if it holds more
    // pieces, or as many with fewer mismatched edges. The largest value keeps nothing.
    std::int32_t keepFrom = std::numeric_limits<std::int32_t>::max();
    std::int32_t deepestMismatches = 0;
    // Whether this run kept a board that beats the one kept before it.
    bool deeperBoardKept = false;
};

// The run's piece group, as the steps of the first depths apply it: set by the run's set-up,
// read by the search, never changed by it.
struct GroupFlags {
    // The piece is in the first list; in it and kept out until depth 100; among the counted
    // pieces of the second list.
    std::array<std::int32_t, 256> inFirstList{};
    std::array<std::int32_t, 256> firstListBarred{};
    std::array<std::int32_t, 256> inSecondList{};
    // Least search.secondListPlaced with which the step of each depth may be entered.
    std::array<std::int32_t, 256> secondListMinimum{};
};
// What the search calls outside its own layer: the layers above set these functions
// (installSearchHooks in run/).
struct SearchHooks {
    // Every full board, with the last square filled: counted, announced, saved.
    void (*fullBoard)() = nullptr;
    // The run budget's rules, when the node count has passed runSignals.budgetAttention; may end
    // the run.
    void (*budgetRules)() = nullptr;
    // Ends the run: saves its statistics, restores the lists and throws RunStopped.
    void (*stopRun)() = nullptr;
};

// Everything the search keeps for the current run, in one record: its progress, the run's piece
// group as the steps apply it, the shallow copies of the lists and the functions it calls in
// the layers above. resetRun starts every run from a fresh one (and installs the functions); a
// board loaded at a run's start clears the progress alone (clearProgress).
struct SearchRun : SearchState {
    GroupFlags groupFlags;
    ShallowLists shallow;
    SearchHooks hooks;

    // Back to the progress of a search that has placed nothing; the rest stays.
    void clearProgress() { static_cast<SearchState&>(*this) = SearchState{}; }
};
// The one instance; the depth steps read and write it directly.
extern SearchRun search;

// A board's deepest depth and its mismatched edges between filled squares.
struct BoardDepth {
    int depth;
    int mismatches;
};
// Whether a board of `found` is better than one of `kept`: deeper, or as deep with fewer
// mismatched edges: the search keeps a run's better board by it as it places
// (noteDeepPlacement), the solver the better one in deepest.txt, and the companions show the
// better of several directories'.
constexpr bool isBetterDeepest(BoardDepth found, BoardDepth kept) {
    return found.depth > kept.depth ||
           (found.depth == kept.depth && found.mismatches < kept.mismatches);
}

// Takes the board as the deepest one, placed up to `depth`.
void keepDeepestBoard(int depth);
// A placement at `depth` (keepFrom or deeper): kept when it beats the board kept so far, which
// keepFrom then follows.
[[gnu::cold, gnu::noinline]] void noteDeepPlacement(int depth);
// The deepest depth at which the run has placed a piece, -1 for none, read off the board at
// any time and at no cost to the search: every placement writes its slot and nothing empties
// one during a run, so it is the deepest depth whose slot differs from startBoard.
int deepestPlacedDepth();
// The median of runs' deepest depths: the middle one, or the mean of the middle two; -1 for
// no run.
double medianDepth(const std::vector<int>& depths);
