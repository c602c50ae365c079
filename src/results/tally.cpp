#include "results/tally.h"

#include "base/console.h"
#include "search/search_state.h"
#include "stats/statistics_records.h"

std::int32_t lastShownMismatch = 500;
std::int32_t repeatCount = 0;

namespace {
constexpr char markCycle[] = ".,.,|.,.,+";
}

void showFullBoard() {
    const int e = mismatchCount;
    if (e == lastShownMismatch) {
        ++repeatCount;
        printOut("%c", markCycle[repeatCount % 10]);
        return;
    }
    printOut("\n");
    for (int i = 0; i < 17 - e; ++i)
        printOut("        ");
    printOut("%d %3d ", 480 - e, fullBoardTally[e]);
    lastShownMismatch = e;
    repeatCount = 0;
}
