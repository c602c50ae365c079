#include "search/search_state.h"

std::array<PieceCode, 256> board{};
std::array<std::int32_t, 256> pieceFree{};
std::int64_t nodeCount = 0;
std::int32_t mismatchCount = 0;
std::int32_t deepestReached = -1;
std::array<std::int64_t, 256> depthVisits{};
