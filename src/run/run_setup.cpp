#include "run/run_setup.h"

#include "search/search_state.h"
#include "stats/statistics_records.h"

std::array<std::int32_t, 256> inFirstList{};
std::array<std::int32_t, 256> firstListBarred{};
std::array<std::int32_t, 256> inSecondList{};
std::int32_t firstListPlaced = 0;
std::int32_t secondListPlaced = 0;
std::array<std::int32_t, 256> secondListMinimum{};

void clearRunState() {
    depthVisits.fill(-1);
    board.fill(emptyCode);
    pieceFree.fill(1);
    fullBoardTally.fill(0);
}
