#include "search/search_state.h"

#include "base/medians.h"

#include "search/board_geometry.h"

SearchRun search;

void keepDeepestBoard(int depth) {
    search.deepestDepth = depth;
    search.deepestBoard = search.board;
}

void noteDeepPlacement(int depth) {
    if (!isBetterDeepest({depth, search.mismatchCount},
                         {search.deepestDepth, search.deepestMismatches}))
        return;
    keepDeepestBoard(depth);
    search.deepestMismatches = search.mismatchCount;
    search.keepFrom = depth;
    search.deeperBoardKept = true;
}

int deepestPlacedDepth() {
    for (int d = depthCount - 1; d >= 0; --d)
        if (search.board[fillOrder[d]] != search.startBoard[fillOrder[d]]) return d;
    return -1;
}

double medianDepth(const std::vector<int>& depths) {
    return medianOf(std::vector<double>(depths.begin(), depths.end()));
}
