#include "results/tally.h"

#include "base/console.h"
#include "results/record_board_names.h"
#include "results/statistics_records.h"
#include "search/depth_windows.h"
#include "search/search_state.h"

TallyLine tallyLine;

namespace {
constexpr char markCycle[] = ".,.,|.,.,+";
}

void showFullBoard() {
    const int e = search.mismatchCount;
    if (e == tallyLine.lastShownMismatch) {
        ++tallyLine.repeatCount;
        printOut("%c", markCycle[tallyLine.repeatCount % 10]);
        return;
    }
    printOut("\n");
    for (int i = 0; i < mostFullBoardMismatches - e; ++i)
        printOut("        ");
    printOut("%d %3lld ", scoreOf(e), static_cast<long long>(runStatistics.fullBoardTally[e]));
    tallyLine.lastShownMismatch = e;
    tallyLine.repeatCount = 0;
}

void closeTallyLine() {
    tallyLine = {};
}
