#include "search/search_state.h"

#include "search/board_geometry.h"

std::array<PieceCode, 256> board{};
std::array<std::int32_t, 256> pieceFree{};
std::int64_t nodeCount = 0;
std::int32_t mismatchCount = 0;
std::int32_t deepestReached = -1;
std::array<std::int64_t, 256> depthVisits{};
std::int32_t deepestDepth = -1;
std::array<PieceCode, 256> deepestBoard{};
std::array<PieceCode, 256> searchStartBoard{};

void keepDeepestBoard(int depth) {
    deepestDepth = depth;
    deepestBoard = board;
}

int deepestPlacedDepth() {
    for (int d = depthCount - 1; d >= 0; --d)
        if (board[fillOrder[d]] != searchStartBoard[fillOrder[d]]) return d;
    return -1;
}
