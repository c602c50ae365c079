#include "search/rim_look_ahead.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <tuple>
#include <vector>

#include "base/formatted_text.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"

RimLookAhead rim;

namespace {

// A free rim piece's kind: corner or edge, in colour, out colour.
using Kind = std::tuple<bool, int, int>;

// The kinds of the rim pieces read, or the fault that keeps the look-ahead off.
std::string sortRimPieces(std::vector<std::pair<int, Kind>>& pieces) {
    std::uint32_t rimColours = 0;
    std::uint32_t innerColours = 0;
    for (int p = 0; p < pieceCount; ++p) {
        const PieceCode code = puzzle.pieceCodes[p];
        if (puzzle.borderCount[p] == 0) {
            for (const Side side : {Side::bottom, Side::right, Side::top, Side::left})
                innerColours |= 1u << colourOn(code, side);
            continue;
        }
        if (puzzle.borderCount[p] > 2) continue;  // such a piece is never placed
        // Turned as the top-left corner or as a piece of row 0: border on top (and on the left).
        bool turned = false;
        for (int r = 0; r < 4 && !turned; ++r) {
            const PieceCode c = rotate(r, code);
            if (topOf(c) != borderColour) continue;
            if (puzzle.borderCount[p] == 2 && leftOf(c) != borderColour) continue;
            turned = true;
            const bool corner = puzzle.borderCount[p] == 2;
            const int in = corner ? bottomOf(c) : leftOf(c);
            const int out = rightOf(c);
            rimColours |= 1u << in | 1u << out;
            if (!corner) innerColours |= 1u << bottomOf(c);
            pieces.push_back({p, {corner, in, out}});
        }
        if (!turned) {
            char text[100];
            std::snprintf(text, sizeof text,
                          "the corner piece on line %d has its border sides opposite", p + 1);
            return text;
        }
    }
    if (const std::uint32_t both = rimColours & innerColours; both != 0) {
        char text[120];
        std::snprintf(
            text, sizeof text, "colour %d joins rim squares and stands inside the board as well",
            static_cast<int>(std::find(colourMap.begin(), colourMap.end(), std::countr_zero(both)) -
                             colourMap.begin()));
        return text;
    }
    if (pieces.size() > static_cast<std::size_t>(rimBitCount))
        return "the pieces hold more than 64 edge and corner pieces";
    return {};
}

// A memo entry's tag: the depth and the colours at the two ends, with bit 31 set, so that no
// tag is 0, the tag of an empty entry.
std::uint32_t memoTag(int depth, int start, int end) {
    return 0x80000000u | static_cast<std::uint32_t>(depth << 10 | start << 5 | end);
}

std::size_t memoIndex(std::uint64_t freeBits, std::uint32_t tag) {
    const std::uint64_t h =
        (freeBits ^ (std::uint64_t{tag} * 0x9E3779B97F4A7C15ull)) * 0xD6E8FEB86659FD93ull;
    return static_cast<std::size_t>(h >> 52);
}
static_assert(rimMemoSize == 1 << 12);

// One test. The empty squares are a few short runs of edge squares and one or two corner
// squares around one long run of edge squares. The walk lays the squares before the long run
// forwards from the colour at the top end, those after it backwards from the colour at the
// bottom end, each over the kinds of free piece, and then asks whether the free edge pieces
// left can fill the long run: every one of them must go there, so they must form one trail
// from the colour the forward part ends at to the one the backward part ends at, which they
// do when their colours balance as such a trail and they all hang together with its start.
struct RimWalk {
    const RimGap& gap;
    int endColour;
    std::array<std::uint8_t, rimBitCount> free;
    int steps = 0;

    bool corner(int position) const { return (gap.corners >> position & 1) != 0; }

    bool forwardFrom(int position, int colour) {
        RimLookAhead& rim = runRecord<RimLookAhead>();
        if (position == gap.runStart) return backwardFrom(gap.length - 1, endColour, colour);
        if (++steps > rimStepLimit) return true;
        const auto& from = corner(position) ? rim.cornersFrom : rim.edgesFrom;
        for (int k = from[colour]; k < from[colour + 1]; ++k) {
            if (free[k] == 0) continue;
            --free[k];
            const bool closes = forwardFrom(position + 1, rim.out[k]);
            ++free[k];
            if (closes) return true;
        }
        return false;
    }

    bool backwardFrom(int position, int colour, int runColour) {
        RimLookAhead& rim = runRecord<RimLookAhead>();
        if (position < gap.runEnd) return formsTrail(runColour, colour);
        if (++steps > rimStepLimit) return true;
        const auto& into = corner(position) ? rim.cornersInto : rim.edgesInto;
        for (int i = into[colour]; i < into[colour + 1]; ++i) {
            const int k = rim.byOut[i];
            if (free[k] == 0) continue;
            --free[k];
            const bool closes = backwardFrom(position - 1, rim.in[k], runColour);
            ++free[k];
            if (closes) return true;
        }
        return false;
    }

    // Whether the free edge pieces form one trail from colour `from` to colour `to`.
    bool formsTrail(int from, int to) {
        RimLookAhead& rim = runRecord<RimLookAhead>();
        ++steps;
        std::array<int, colourCount> outMinusIn{};
        std::array<std::uint32_t, colourCount> next{};
        std::uint32_t used = 0;
        for (int k = 0; k < rim.edgesFrom[colourCount]; ++k)
            if (free[k] != 0) {
                outMinusIn[rim.in[k]] += free[k];
                outMinusIn[rim.out[k]] -= free[k];
                next[rim.in[k]] |= 1u << rim.out[k];
                used |= 1u << rim.in[k] | 1u << rim.out[k];
            }
        if (used == 0) return from == to;
        --outMinusIn[from];
        ++outMinusIn[to];
        for (std::uint32_t left = used | 1u << from | 1u << to; left != 0; left &= left - 1)
            if (outMinusIn[std::countr_zero(left)] != 0) return false;
        std::uint32_t reached = 1u << from;
        for (std::uint32_t ahead = reached; ahead != 0;) {
            const std::uint32_t found = next[std::countr_zero(ahead)] & ~reached;
            ahead = (ahead & (ahead - 1)) | found;
            reached |= found;
        }
        return (used & ~reached) == 0;
    }
};

}  // namespace

std::string rimLookAheadFault() {
    std::vector<std::pair<int, Kind>> pieces;
    return sortRimPieces(pieces);
}

bool startRimLookAhead() {
    RimLookAhead& rim = runRecord<RimLookAhead>();
    rim.on = false;
    // The answers kept are in terms of the kinds sorted here.
    rim.answers.fill(RimAnswers{});
    rim.memo.fill(RimMemoEntry{});
    if (!sortRimKinds()) return false;
    rim.on = true;
    return true;
}

bool sortRimKinds() {
    RimLookAhead& rim = runRecord<RimLookAhead>();
    std::vector<std::pair<int, Kind>> pieces;
    rim.kindsSorted = false;
    if (!sortRimPieces(pieces).empty()) return false;
    std::vector<Kind> kinds;
    for (const auto& [piece, kind] : pieces)
        kinds.push_back(kind);
    std::sort(kinds.begin(), kinds.end());
    kinds.erase(std::unique(kinds.begin(), kinds.end()), kinds.end());
    rim.kindOf.fill(-1);
    rim.pieceCount = 0;
    std::array<int, rimBitCount> size{};
    for (const auto& [piece, kind] : pieces) {
        const auto k = std::lower_bound(kinds.begin(), kinds.end(), kind) - kinds.begin();
        rim.kindOf[piece] = static_cast<std::int8_t>(k);
        rim.pieces[rim.pieceCount++] = static_cast<std::uint8_t>(piece);
        ++size[k];
    }
    int bit = 0;
    rim.edgeBitCount = 0;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        const auto [corner, in, out] = kinds[k];
        rim.in[k] = static_cast<std::uint8_t>(in);
        rim.out[k] = static_cast<std::uint8_t>(out);
        rim.firstBit[k] = static_cast<std::uint8_t>(bit);
        bit += size[k];
        if (!corner) rim.edgeBitCount = bit;
    }
    // The kinds by out colour, edges first; and where the kinds of each colour begin in either
    // order: after every edge kind of a lesser colour, and a corner kind after every edge kind
    // and every corner kind of a lesser colour.
    std::vector<Kind> byOut;
    for (const auto& [corner, in, out] : kinds)
        byOut.push_back({corner, out, in});
    std::sort(byOut.begin(), byOut.end());
    for (std::size_t i = 0; i < byOut.size(); ++i) {
        const auto [corner, out, in] = byOut[i];
        rim.byOut[i] = static_cast<std::uint8_t>(
            std::lower_bound(kinds.begin(), kinds.end(), Kind{corner, in, out}) - kinds.begin());
    }
    for (int c = 0; c <= colourCount; ++c) {
        const auto first = [c](const std::vector<Kind>& order, bool corner) {
            return static_cast<std::uint8_t>(
                std::lower_bound(order.begin(), order.end(), Kind{corner, c, 0}) - order.begin());
        };
        rim.edgesFrom[c] = first(kinds, false);
        rim.cornersFrom[c] = first(kinds, true);
        rim.edgesInto[c] = first(byOut, false);
        rim.cornersInto[c] = first(byOut, true);
    }
    rim.kindsSorted = true;
    return true;
}

void countFreeRimPieces() {
    RimLookAhead& rim = runRecord<RimLookAhead>();
    rim.free.fill(0);
    rim.freeBits = 0;
    for (int i = 0; i < rim.pieceCount; ++i)
        if (search.pieceFree[rim.pieces[i]]) giveBackRimPiece(rim.pieces[i]);
}

bool rimCanClose(int depth, PieceCode code) {
    RimLookAhead& rim = runRecord<RimLookAhead>();
    const RimGap& gap = rimGaps[depth];
    const int start =
        colourOn(gap.startDepth == depth ? code : search.board[gap.startSlot], gap.startSide);
    const int end = colourOn(gap.endDepth == depth ? code : search.board[gap.endSlot], gap.endSide);
    ++rim.lookUps;
    const std::uint32_t tag = memoTag(depth, start, end);
    RimMemoEntry& answer = rim.memo[memoIndex(rim.freeBits, tag)];
    if (answer.tag == tag && answer.freeBits == rim.freeBits) {
        ++rim.memoHits;
        return answer.closes;
    }
    // The walk needs one free piece for every empty square; where that does not hold (the
    // pieces of a loaded board are out of play), the board cannot be finished, and the test
    // lets the placement be.
    const std::uint64_t edgeBits = rim.edgeBitCount == rimBitCount
                                       ? ~std::uint64_t{0}
                                       : (std::uint64_t{1} << rim.edgeBitCount) - 1;
    bool closes = true;
    RimWalk walk{gap, end, rim.free};
    if (std::popcount(rim.freeBits & edgeBits) == gap.edges &&
        std::popcount(rim.freeBits & ~edgeBits) == gap.length - gap.edges)
        closes = walk.forwardFrom(0, start);
    rim.givenUp += walk.steps > rimStepLimit;
    answer = {rim.freeBits, tag, closes};
    return closes;
}

bool rimAnswerAfresh(int depth, int kept, PieceCode code, int piece) {
    RimLookAhead& rim = runRecord<RimLookAhead>();
    RimAnswers& answers = rim.answers[depth];
    if (answers.freeBits != rim.freeBits || answers.keptColour != kept)
        answers = {rim.freeBits, kept, 0, 0};
    const std::uint64_t kind = std::uint64_t{1} << rim.kindOf[piece];
    takeRimPiece(piece);
    if (rimCanClose(depth, code)) answers.closes |= kind;
    giveBackRimPiece(piece);
    answers.known |= kind;
    return (answers.closes & kind) != 0;
}

bool rimClosesAsPlaced(int depth) {
    RimLookAhead& rim = runRecord<RimLookAhead>();
    if (depth < firstRimCheckDepth || depth >= depthCount - 1 || !rim.kindsSorted) return true;
    const RimGap gap = rimGapAt(depth);
    // Counted afresh from the free pieces, then put back as the steps keep them.
    const std::array<std::uint8_t, rimBitCount> keptFree = rim.free;
    const std::uint64_t keptBits = rim.freeBits;
    countFreeRimPieces();
    const std::uint64_t edgeBits = rim.edgeBitCount == rimBitCount
                                       ? ~std::uint64_t{0}
                                       : (std::uint64_t{1} << rim.edgeBitCount) - 1;
    bool closes = true;
    if (std::popcount(rim.freeBits & edgeBits) == gap.edges &&
        std::popcount(rim.freeBits & ~edgeBits) == gap.length - gap.edges) {
        RimWalk walk{gap, colourOn(search.board[gap.endSlot], gap.endSide), rim.free};
        closes = walk.forwardFrom(0, colourOn(search.board[gap.startSlot], gap.startSide));
    }
    rim.free = keptFree;
    rim.freeBits = keptBits;
    return closes;
}

std::string rimProfileLine(const OptionCounts& sums) {
    return printed(
        "rim look-ahead %lld tests, %lld refused; %lld looked up, %lld found in the memo, %lld "
        "given up\n",
        static_cast<long long>(sums[0]), static_cast<long long>(sums[1]),
        static_cast<long long>(sums[2]), static_cast<long long>(sums[3]),
        static_cast<long long>(sums[4]));
}
