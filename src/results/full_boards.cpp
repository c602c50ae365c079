#include "results/full_boards.h"

#include <cstdio>
#include <string>

#include "base/console.h"
#include "base/settings.h"
#include "results/board_files.h"
#include "results/tally.h"
#include "search/search_state.h"
#include "stats/statistics_records.h"
#include "stats/time_texts.h"

FullBoards fullBoards;

void onFullBoard() {
    const int e = search.mismatchCount;
    ++runStatistics.fullBoardTally[e];
    ++fullBoards.count;
    if (fullBoards.watcher != nullptr) fullBoards.watcher();
    if (e == 0) {
        printOut("Nr solutions = %d, after %s\n", fullBoards.count, elapsedText().c_str());
        // A perfect board is what the program is run for: keep every one of them.
        // A board that cannot be saved is printed instead, and the search goes on.
        const std::optional<std::string> name = savePerfectBoard();
        if (name) printOut("Board is saved in %s/%s\n", settings.workingDirectory, name->c_str());
    } else {
        if (e < statistics.grandTotal.best) {
            char name[16];
            std::snprintf(name, sizeof name, "%d.tsr", 480 - e);
            printOut("\nNEW RECORD!!!");
            statistics.grandTotal.best = e;
            statistics.sinceStart.best = e;
            statistics.grandTotal.check = (e * (3 * e + 7) + 29) % 100;
            // Announced as saved only once it is on the disk; a board that cannot be saved is
            // printed and ends the program.
            saveRecordBoard(name);
            printOut("\nBoard is saved in %s/%s\n", settings.workingDirectory, name);
        } else if (e < statistics.sinceStart.best) {
            printOut("\nBEST SCORE SINCE START!!!");
            statistics.sinceStart.best = e;
        }
        showFullBoard();
    }
    if (search.deepestReached < 256) search.deepestReached = 256;
}
