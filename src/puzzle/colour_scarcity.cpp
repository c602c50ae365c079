#include "puzzle/colour_scarcity.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "puzzle/piece_file.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/puzzle_tables.h"

namespace {

constexpr int kinds = 3;  // interior, edge, corner: by a piece's border edges

int kindOf(int piece) {
    return std::min(puzzle.borderCount[piece], kinds - 1);
}

}  // namespace

void prepareScarcity(std::int64_t weight) {
    if (weight == puzzleRun.scarcity.weight) return;
    puzzleRun.scarcity = {weight, {}};
    if (weight == 0) return;
    std::array<std::int64_t, colourCount> edges{};
    for (const PieceCode code : puzzle.pieceCodes)
        for (const int colour : {rightOf(code), bottomOf(code), leftOf(code), topOf(code)})
            ++edges[colour];
    std::array<std::int64_t, pieceCount> sum{};
    std::array<std::int64_t, kinds> least, most;
    least.fill(std::numeric_limits<std::int64_t>::max());
    most.fill(std::numeric_limits<std::int64_t>::min());
    for (int p = 0; p < pieceCount; ++p) {
        const PieceCode code = puzzle.pieceCodes[p];
        for (const int colour : {rightOf(code), bottomOf(code), leftOf(code), topOf(code)})
            if (colour != borderColour) sum[p] += edges[colour];
        least[kindOf(p)] = std::min(least[kindOf(p)], sum[p]);
        most[kindOf(p)] = std::max(most[kindOf(p)], sum[p]);
    }
    for (int p = 0; p < pieceCount; ++p) {
        const int k = kindOf(p);
        if (most[k] == least[k]) continue;  // one value: nothing to tell the pieces apart
        const double place = static_cast<double>(sum[p] - least[k]) / (most[k] - least[k]);
        puzzleRun.scarcity.term[p] = static_cast<std::int32_t>(std::lround(weight * (place - 0.5)));
    }
}
