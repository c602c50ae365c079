#include "search/mismatch_bound.h"

#include "base/formatted_text.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"

MismatchBound bound;

namespace {

// A side of a filled square that faces an empty one.
struct OpenSide {
    int slot;
    Side side;
};

// The open sides as the step of firstBoundDepth is entered: those of the hint and of the squares
// of lesser depths that face a square of that depth or deeper.
constexpr auto openSidesAtFirstDepth = [] {
    constexpr auto filled = [](int row, int col) {
        return Square{row, col} == hintSquare || depthOfSquare({row, col}) < firstBoundDepth;
    };
    std::array<OpenSide, 4 * boardSize> sides{};
    std::size_t count = 0;
    for (int row = 0; row < boardSize; ++row)
        for (int col = 0; col < boardSize; ++col) {
            if (!filled(row, col)) continue;
            const int slot = squareSlot[row][col];
            if (row > 0 && !filled(row - 1, col)) sides[count++] = {slot, Side::top};
            if (row < boardSize - 1 && !filled(row + 1, col)) sides[count++] = {slot, Side::bottom};
            if (col > 0 && !filled(row, col - 1)) sides[count++] = {slot, Side::left};
            if (col < boardSize - 1 && !filled(row, col + 1)) sides[count++] = {slot, Side::right};
        }
    return std::pair{sides, count};
}();

}  // namespace

void countBoundSides() {
    MismatchBound& bound = runRecord<MismatchBound>();
    // Counted plainly, then the shortfall and the odd colours in one pass: the step of
    // firstBoundDepth is entered often, and this must cost little beside the search below it.
    std::array<std::int16_t, colourCount> excess{};
    for (int piece = 0; piece < pieceCount; ++piece) {
        if (!search.pieceFree[piece]) continue;
        const PieceCode code = puzzle.pieceCodes[piece];
        --excess[bottomOf(code)];
        --excess[rightOf(code)];
        --excess[topOf(code)];
        --excess[leftOf(code)];
    }
    const auto& [sides, count] = openSidesAtFirstDepth;
    for (std::size_t i = 0; i < count; ++i)
        ++excess[colourOn(search.board[sides[i].slot], sides[i].side)];
    excess[borderColour] = 0;
    bound.excess = excess;
    bound.shortfall = 0;
    bound.odd = 0;
    for (const std::int16_t e : excess) {
        bound.shortfall += e > 0 ? e : 0;
        bound.odd += static_cast<int>(e < 0) & e;
    }
}

std::string boundProfileLine(const OptionCounts& sums) {
    return printed("mismatch bound %lld tests, %lld refused\n", static_cast<long long>(sums[0]),
                   static_cast<long long>(sums[1]));
}
