// The rim look-ahead: after a piece is placed on the rim, whether the free edge and corner
// pieces can still be laid along the empty part of the rim, corners on the corner squares and
// every joint between two rim squares exact. Below a placement after which they cannot lies no
// full board, so the steps with the look-ahead refuse it.
//
// Rim squares may mismatch only their inward side, and the search fills the rim as one arc that
// grows at both ends, so what is left of it is one run of squares between two placed pieces.
// Laid clockwise, every rim piece shows one colour to the square before it (its in colour) and
// one to the square after it (its out colour); the test walks that run from the colour the arc
// shows at its top end, over the free pieces by kind (corner or edge, in colour, out colour),
// and must arrive at the colour the arc shows at its bottom end. Which squares are filled comes
// from the depth alone: slots beyond it keep the codes of earlier attempts.
//
// The test is exact when the pieces keep the colours of the rim joints apart from those inside
// (rimLookAheadFault): then every piece the search lays on the rim lies with its border
// outwards. A test that runs too long gives up and lets the placement be, so it never refuses
// a board that could be finished.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/search_option_row.h"
#include "puzzle/piece_code.h"
#include "search/board_geometry.h"
#include "search/rim_gaps.h"
#include "search/search_state.h"
#include "search/step_hooks.h"

// Most kinds of rim piece, and most rim pieces: each free piece is one bit of a 64-bit set.
inline constexpr int rimBitCount = 64;
// Entries of the memo of answers.
inline constexpr int rimMemoSize = 1 << 12;
// Steps after which a test gives up and answers that the rim can still close.
inline constexpr int rimStepLimit = 20000;

// One answer kept: the free pieces, and the depth with the colours at the two ends.
struct RimMemoEntry {
    std::uint64_t freeBits = 0;
    std::uint32_t tag = 0;  // 0 for none
    bool closes = false;
};

// The answers of one tested depth while the rim before its placement stays as it is: by the
// kind of piece placed, whether the answer is known and whether the rim can close.
struct RimAnswers {
    std::uint64_t freeBits = 0;  // the free pieces before the placement
    int keptColour = -1;         // the colour at the end of the run that the placement keeps
    std::uint64_t known = 0;
    std::uint64_t closes = 0;
};

// The look-ahead of the current run, touched only by the run thread.
struct RimLookAhead {
    // Whether the run's steps test their rim placements, and whether the rim pieces are sorted
    // into the kinds below.
    bool on = false;
    bool kindsSorted = false;
    // The rim pieces by kind, the edge kinds first, each part in order of in colour: for each
    // piece its kind (-1 for pieces that never lie on the rim), for each kind its in and out
    // colour and the first of its bits in freeBits; the kinds of each in colour start at
    // edgesFrom[c] (corners: cornersFrom[c]) and end where those of colour c + 1 start. The
    // same kinds in order of out colour: byOut, from edgesInto[c] (cornersInto[c]) on.
    std::array<std::int8_t, 256> kindOf = filled<std::int8_t, 256>(-1);
    std::array<std::uint8_t, rimBitCount> in{}, out{}, firstBit{};
    std::array<std::uint8_t, colourCount + 1> edgesFrom{}, cornersFrom{};
    std::array<std::uint8_t, rimBitCount> byOut{};
    std::array<std::uint8_t, colourCount + 1> edgesInto{}, cornersInto{};
    // The bits of the edge pieces, which come before those of the corners.
    int edgeBitCount = 0;
    // The rim pieces' numbers.
    std::array<std::uint8_t, rimBitCount> pieces{};
    int pieceCount = 0;
    // The free pieces of each kind, and all of them as one set: kind k's free pieces are the
    // lowest free[k] of its bits.
    std::array<std::uint8_t, rimBitCount> free{};
    std::uint64_t freeBits = 0;
    // Answers of earlier tests: by depth for the rim as it last stood there, and in the memo
    // for any rim.
    std::array<RimAnswers, depthCount> answers{};
    std::array<RimMemoEntry, rimMemoSize> memo{};
    // Counts for tessaly-bench --profile: placements tested and refused, tests that the depth
    // could not answer at once, of those the ones the memo answered, and the walks given up.
    std::int64_t tests = 0;
    std::int64_t refusals = 0;
    std::int64_t lookUps = 0;
    std::int64_t memoHits = 0;
    std::int64_t givenUp = 0;
};
// Its record of the current run is held with the run's options: runRecord<RimLookAhead>().

// Why the look-ahead cannot be used on the pieces read, or an empty text when it can: it needs
// the colours of the joints between rim squares apart from every colour inside the board, the
// border sides of each corner piece side by side, and at most 64 rim pieces.
std::string rimLookAheadFault();
// Sorts the rim pieces into kinds and turns the look-ahead on, when the pieces allow it (see
// rimLookAheadFault); returns whether it is on.
bool startRimLookAhead();
// Sorts the rim pieces into kinds, when the pieces allow it, without turning the look-ahead on;
// returns whether they are sorted.
bool sortRimKinds();
// Whether the free rim pieces can still fill the rim squares left empty with the board filled
// up to `depth` in fill order, by the test the look-ahead makes; true where it cannot judge
// (before the look-ahead's first depth, or when the kinds are not sorted).
bool rimClosesAsPlaced(int depth);
// Counts the free rim pieces from pieceFree, as the test's free pieces.
void countFreeRimPieces();

// Takes the piece from the test's free pieces, or gives it back.
inline void takeRimPiece(int piece) {
    RimLookAhead& rim = runRecord<RimLookAhead>();
    const int k = rim.kindOf[piece];
    --rim.free[k];
    rim.freeBits &= ~(std::uint64_t{1} << (rim.firstBit[k] + rim.free[k]));
}
inline void giveBackRimPiece(int piece) {
    RimLookAhead& rim = runRecord<RimLookAhead>();
    const int k = rim.kindOf[piece];
    rim.freeBits |= std::uint64_t{1} << (rim.firstBit[k] + rim.free[k]);
    ++rim.free[k];
}

// Whether the free pieces (the one of `code` already taken) can still fill the rim squares
// left empty once `code` lies on the rim square of `depth`, a depth for which testsRim holds:
// from the memo, or by a walk along the empty squares.
bool rimCanClose(int depth, PieceCode code);
// The answer of rimClosesWith when the depth has none for the kind of piece at hand: the
// depth's answers start afresh if the rim has changed (`kept` is the colour at the end of the
// empty run that the placement keeps), and the kind's answer is found and kept.
bool rimAnswerAfresh(int depth, int kept, PieceCode code, int piece);

// Whether the rim can still close once `code` (of `piece`) lies on the rim square of depth D,
// a depth for which testsRim holds; the free pieces stay as they are. A depth answers at
// once for a kind of piece it has answered for with the rim as it stands.
template <int D>
[[gnu::always_inline]] inline bool rimClosesWith(PieceCode code, int piece) {
    RimLookAhead& rim = runRecord<RimLookAhead>();
    constexpr RimGap gap = rimGaps[D];
    const int kept = gap.startDepth == D ? colourOn(search.board[gap.endSlot], gap.endSide)
                                         : colourOn(search.board[gap.startSlot], gap.startSide);
    const RimAnswers& answers = rim.answers[D];
    const std::uint64_t kind = std::uint64_t{1} << rim.kindOf[piece];
    const bool closes = answers.freeBits == rim.freeBits && answers.keptColour == kept &&
                                (answers.known & kind) != 0
                            ? (answers.closes & kind) != 0
                            : rimAnswerAfresh(D, kept, code, piece);
    ++rim.tests;
    rim.refusals += !closes;
    return closes;
}

// The profile's line of the look-ahead's counters, added up over the runs.
std::string rimProfileLine(const OptionCounts& sums);

// The look-ahead as a search option. In the steps with options the rim placements are followed
// while it is on: the piece is taken from the look-ahead's free pieces, and at a tested depth a
// placement after which the rim can no longer close is refused, not made.
struct RimLookAheadOption : StepHooks {
    using Record = RimLookAhead;
    static constexpr SearchOptionRow row{
        .name = "Rim look-ahead",
        .benchFlag = "--rim-look-ahead",
        .word = "rim-look-ahead",
        .valueName = nullptr,
        .least = 1,
        .most = 1,
        .help = "refuse rim placements after which the rim cannot close",
        .trialValue = 1,
        .trialFigure = TrialFigure::fullBoards,
        .refusal = rimLookAheadFault,
        .profileCounts =
            [] {
                RimLookAhead& rim = runRecord<RimLookAhead>();
                return OptionCounts{rim.tests, rim.refusals, rim.lookUps, rim.memoHits,
                                    rim.givenUp};
            },
        .profileLine = rimProfileLine,
        .benchPage =
            R"roff(Refuse the rim placements after which the rim can no longer close, as the
solver does under a groups file with the word
.B rim\-look\-ahead
(see
.BR tessaly (1));
a groups file read with
.B \-\-groups
can turn it on too.
On pieces that do not allow it the program prints
.BI "tessaly\-bench: the rim look-ahead cannot be used here: " REASON
and exits with status 1.
With
.BR \-\-profile ,
a line
.B "rim look-ahead"
gives the placements it tested and refused, the tests it could not answer at
once, the part of them its memo answered, and the tests it gave up (each given
up lets the placement be).)roff",
        .wordPage = R"roff(The rim look-ahead (see
.BR tessaly (1)):
a run refuses a rim placement after which the free edge and corner pieces can
no longer close the rim.)roff",
    };

    static std::int64_t startSteps(std::int64_t value) {
        runRecord<Record>().on = false;
        return value != 0 && startRimLookAhead() ? value : 0;
    }
    static void resumeAt(int depth) {
        if (runRecord<Record>().on && depth > firstRimCheckDepth) countFreeRimPieces();
    }
    // The free rim pieces are counted afresh on entering the first depth that tests.
    template <int D>
    static void enter() {
        if constexpr (D == firstRimCheckDepth) {
            if (runRecord<Record>().on) countFreeRimPieces();
        }
    }
    template <int D, bool exact>
    [[gnu::always_inline]] static bool refuses(PieceCode code, int piece) {
        if constexpr (followsRim(D)) {
            if (runRecord<Record>().on) {
                if constexpr (testsRim(D)) {
                    if (!rimClosesWith<D>(code, piece)) return true;
                }
                takeRimPiece(piece);
            }
        }
        return false;
    }
    template <int D, bool exact>
    [[gnu::always_inline]] static void giveBack(PieceCode /*code*/, int piece) {
        if constexpr (followsRim(D)) {
            if (runRecord<Record>().on) giveBackRimPiece(piece);
        }
    }
};

// The run's options hold this option's record: their header defines runRecord, which the
// functions above call, once the list of options (this option included) is complete.
#include "search/search_options.h"
