// The mismatch bound: after a placement in the last squares, a lower bound on the mismatched
// edges that the empty squares must still add, from the colours alone; a placement after which
// the board could no longer be finished within the mismatches a full board may have is refused.
//
// Every side a free piece shows (but a border side, which faces the outline) will face either an
// open side, the side a filled square shows towards an empty one, or another free piece's side.
// An open side of colour c is matched only by a free side of colour c, so the open sides of c
// beyond the free sides of c are mismatched: the shortfall. The free sides of c left over once
// the open ones are matched pair up among themselves, so a colour with an odd number left needs
// one of its sides in a mismatched edge, and a mismatched edge between free pieces takes two
// sides: with those colours counted as `odd`, the future mismatches are at least
// max(shortfall, ceil((shortfall + odd) / 2)); both follow from the excess of each colour, its
// open sides less its free ones. Refusing by it loses no full board.
#pragma once

#include <array>
#include <cstdint>

#include "base/program_state.h"
#include "base/search_option_row.h"
#include "base/settings.h"
#include "puzzle/piece_code.h"
#include "search/board_geometry.h"
#include "search/depth_windows.h"
#include "search/search_state.h"
#include "search/step_hooks.h"

// The first depth whose placements are tested. Above the last 24 squares the board is too far
// from its limit for the bound to refuse anything: on 16/5 puzzles testing from the first depth
// with a mismatch phase (193) on made twenty times the tests for the same refusals.
inline constexpr int firstBoundDepth = 232;

// From the first tested depth on, a square's left and upper neighbours are filled before it and
// its right and lower ones after it, and none is the hint's: what moveOnBound takes for granted.
constexpr bool boundNeighboursInFillOrder() {
    for (int d = firstBoundDepth; d < depthCount; ++d) {
        const Square sq = fillSquares[d];
        if ((sq.col > 0 && depthOfSquare({sq.row, sq.col - 1}) >= d) ||
            (sq.row > 0 && depthOfSquare({sq.row - 1, sq.col}) >= d) ||
            (sq.col < boardSize - 1 && depthOfSquare({sq.row, sq.col + 1}) <= d) ||
            (sq.row < boardSize - 1 && depthOfSquare({sq.row + 1, sq.col}) <= d))
            return false;
    }
    return true;
}
static_assert(boundNeighboursInFillOrder());

// The bound of the current run, touched only by the run thread.
struct MismatchBound {
    bool on = false;  // whether the run's steps test their placements by it
    // By colour, the open sides less the free ones (the border colour's entry is not kept).
    std::array<std::int16_t, colourCount> excess{};
    // The sum over the colours of max(0, excess), the shortfall, and the colours whose excess is
    // below 0 and odd.
    std::int32_t shortfall = 0;
    std::int32_t odd = 0;
    // Counts for tessaly-bench --profile: placements tested and refused.
    std::int64_t tests = 0;
    std::int64_t refusals = 0;
};
// Its record of the current run is held with the run's options: runRecord<MismatchBound>().

// Counts the free and open sides afresh, as the board stands when the step of firstBoundDepth is
// entered: every square of a lesser depth filled, and the hint.
void countBoundSides();

// The least number of mismatched edges the empty squares must still add.
inline std::int32_t futureMismatches() {
    MismatchBound& bound = runRecord<MismatchBound>();
    const std::int32_t pairs = (bound.shortfall + bound.odd + 1) / 2;
    return pairs > bound.shortfall ? pairs : bound.shortfall;
}

// Adds `delta` to the excess of `colour` (a colour other than the border's), keeping the
// shortfall and the odd colours.
[[gnu::always_inline]] inline void addExcess(int colour, int delta) {
    MismatchBound& bound = runRecord<MismatchBound>();
    std::int16_t& excess = bound.excess[colour];
    const auto shortfallOf = [](int e) { return e > 0 ? e : 0; };
    const auto oddOf = [](int e) { return static_cast<int>(e < 0) & e; };
    bound.shortfall -= shortfallOf(excess);
    bound.odd -= oddOf(excess);
    excess = static_cast<std::int16_t>(excess + delta);
    bound.shortfall += shortfallOf(excess);
    bound.odd += oddOf(excess);
}

// Puts `code` on the square of depth D in the bound's counts (sign 1), or takes it off again
// (sign -1): its sides leave the free ones; the sides of its left and upper neighbours, filled
// before it in fill order, stop being open, and its right and lower sides open where those
// squares are on the board (in fill order they are empty then). Sides facing the outline show
// the border colour and are not counted. An exact placement matches its left and upper
// neighbours, whose sides cancel out against its own.
template <int D, bool exact>
[[gnu::always_inline]] inline void moveOnBound(PieceCode code, int sign) {
    constexpr Square square = fillSquares[D];
    constexpr bool hasLeft = square.col > 0, hasUp = square.row > 0;
    constexpr bool hasRight = square.col < boardSize - 1, hasDown = square.row < boardSize - 1;
    if constexpr (!exact) {
        if constexpr (hasLeft) {
            addExcess(leftOf(code), sign);
            addExcess(rightOf(search.board[squareSlot[square.row][square.col - 1]]), -sign);
        }
        if constexpr (hasUp) {
            addExcess(topOf(code), sign);
            addExcess(bottomOf(search.board[squareSlot[square.row - 1][square.col]]), -sign);
        }
    }
    if constexpr (hasRight) addExcess(rightOf(code), 2 * sign);
    if constexpr (hasDown) addExcess(bottomOf(code), 2 * sign);
}

// Whether the placement of `code` on the square of depth D, exact or with one mismatched edge,
// leaves more mismatched edges to come than a full board may still take: then it is refused and
// the counts stay as they were; else it is put on the bound's counts, and moveOnBound takes it
// off once its deeper call has returned.
template <int D, bool exact>
[[gnu::always_inline]] inline bool boundRefuses(PieceCode code) {
    MismatchBound& bound = runRecord<MismatchBound>();
    moveOnBound<D, exact>(code, 1);
    ++bound.tests;
    if (search.mismatchCount + !exact + futureMismatches() <= mostFullBoardMismatches) return false;
    moveOnBound<D, exact>(code, -1);
    ++bound.refusals;
    return true;
}

// The profile's line of the bound's counters, added up over the runs.
std::string boundProfileLine(const OptionCounts& sums);

// The bound as a search option: in the steps with options, from firstBoundDepth to the depth
// before the last, a placement is refused by the bound while it is on.
struct MismatchBoundOption : StepHooks {
    using Record = MismatchBound;
    static constexpr SearchOptionRow row{
        .name = "Mismatch bound",
        .benchFlag = "--mismatch-bound",
        .word = "mismatch-bound",
        .valueName = nullptr,
        .least = 1,
        .most = 1,
        .help =
            "refuse placements after which the colours left need more mismatched edges than "
            "a full board may have",
        .trialValue = 0,
        .trialFigure = TrialFigure::fullBoards,
        .profileCounts =
            [] {
                MismatchBound& bound = runRecord<MismatchBound>();
                return OptionCounts{bound.tests, bound.refusals};
            },
        .profileLine = boundProfileLine,
        .benchPage =
            R"roff(From depth 232 on (the last 24 squares), refuse a placement after which the
colours left need more mismatched edges than a full board may have (17), as
the solver does under a
groups file with the word
.BR mismatch\-bound .
Every side a free piece shows will face a side that a filled square shows
towards an empty one, or another free piece's side: sides of a colour shown
towards empty squares beyond the free sides of that colour are mismatched, and
a colour whose free sides left over are odd in number needs a mismatched edge,
which takes two such sides.
No full board lies below a refused placement, so runs find the same boards and
reach them sooner; their deepest depths are lower by design.
A run from a board file does without it.
With
.BR \-\-profile ,
a line
.B "mismatch bound"
gives the placements it tested and refused (with the rim look-ahead on, those
the look-ahead let be).)roff",
        .wordPage = R"roff(The mismatch bound (see
.BR tessaly\-bench (1),
.BR \-\-mismatch\-bound ):
a run refuses a placement after which the colours left need more mismatched
edges than a full board may have.)roff",
    };

    // The bound counts the squares as the fill order fills them; a board file may have filled
    // deeper ones, so a run from one does without it.
    static std::int64_t startSteps(std::int64_t value) {
        MismatchBound& bound = runRecord<MismatchBound>();
        bound.on = value != 0 && program.settings.boardPath[0] == '\0';
        return bound.on ? value : 0;
    }
    // The bound counts its sides on entering its first depth; a search from below it goes on
    // without it.
    static void resumeAt(int depth) {
        if (depth > firstBoundDepth) runRecord<Record>().on = false;
    }
    template <int D>
    static void enter() {
        if constexpr (D == firstBoundDepth) {
            if (runRecord<Record>().on) countBoundSides();
        }
    }
    template <int D, bool exact>
    [[gnu::always_inline]] static bool refuses(PieceCode code, int /*piece*/) {
        if constexpr (D >= firstBoundDepth && D < depthCount - 1)
            return runRecord<Record>().on && boundRefuses<D, exact>(code);
        return false;
    }
    template <int D, bool exact>
    [[gnu::always_inline]] static void giveBack(PieceCode code, int /*piece*/) {
        if constexpr (D >= firstBoundDepth && D < depthCount - 1) {
            if (runRecord<Record>().on) moveOnBound<D, exact>(code, -1);
        }
    }
};

// The run's options hold this option's record: their header defines runRecord, which the
// functions above call, once the list of options (this option included) is complete.
#include "search/search_options.h"
