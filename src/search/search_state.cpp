#include "search/search_state.h"

#include <algorithm>

#include "search/board_geometry.h"

SearchState search;

void clearRunState() {
    const SearchState clear;
    search.board = clear.board;
    search.pieceFree = clear.pieceFree;
    search.depthVisits = clear.depthVisits;
}

void keepDeepestBoard(int depth) {
    search.deepestDepth = depth;
    search.deepestBoard = search.board;
}

int deepestPlacedDepth() {
    for (int d = depthCount - 1; d >= 0; --d)
        if (search.board[fillOrder[d]] != search.startBoard[fillOrder[d]]) return d;
    return -1;
}

double medianDepth(std::vector<int> depths) {
    if (depths.empty()) return -1;
    std::sort(depths.begin(), depths.end());
    const std::size_t middle = depths.size() / 2;
    if (depths.size() % 2 != 0) return depths[middle];
    return (depths[middle - 1] + depths[middle]) / 2.0;
}
