#include "results/tally.h"

#include "base/console.h"
#include "results/record_board_names.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "search/depth_windows.h"
#include "search/search_state.h"

namespace {
constexpr char markCycle[] = ".,.,|.,.,+";
}

void showFullBoard() {
    const int e = search.mismatchCount;
    if (e == results.tallyLine.lastShownMismatch) {
        ++results.tallyLine.repeatCount;
        printOut("%c", markCycle[results.tallyLine.repeatCount % 10]);
        return;
    }
    printOut("\n");
    for (int i = 0; i < mostFullBoardMismatches - e; ++i)
        printOut("        ");
    printOut("%d %3lld ", scoreOf(e), static_cast<long long>(runStatistics.fullBoardTally[e]));
    results.tallyLine.lastShownMismatch = e;
    results.tallyLine.repeatCount = 0;
}

void closeTallyLine() {
    results.tallyLine = {};
}
