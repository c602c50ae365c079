#include "results/full_boards.h"

#include <cstdio>
#include <string>

#include "base/console.h"
#include "base/fatal_exit.h"
#include "base/guarded_saves.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "base/time_texts.h"
#include "results/board_files.h"
#include "results/record_board_names.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "results/tally.h"
#include "search/search_state.h"

void onFullBoard() {
    const int e = search.mismatchCount;
    ++runStatistics.fullBoardTally[e];
    ++results.fullBoards.count;
    if (results.fullBoards.watcher != nullptr) results.fullBoards.watcher();
    if (e == 0) {
        // A perfect board is what the program is run for: keep every one of them. A board
        // that cannot be saved is printed instead, and the search goes on.
        beginGuardedSave();
        printOut("Nr solutions = %lld, after %s\n",
                 static_cast<long long>(results.fullBoards.count),
                 elapsedText(runStatistics.startClock).c_str());
        const SavedBoard board = saveBoardOfScore(perfectScore);
        if (board.saved)
            printOut("%s%s/%s\n", boardSavedText, program.settings.workingDirectory,
                     board.name.c_str());
        endGuardedSave();
    } else {
        if (e < results.statistics.grandTotal.best) {
            // From its announcement until it is on the disk or printed, no stop ends the program.
            beginGuardedSave();
            printOut("\nNEW RECORD!!!");
            results.statistics.grandTotal.best = e;
            results.statistics.sinceStart.best = e;
            results.statistics.grandTotal.check = (e * (3 * e + 7) + 29) % 100;
            // Announced as saved only once it is on the disk. A record that cannot be saved has
            // been printed; the program saves its statistics and ends.
            const SavedBoard board = saveBoardOfScore(scoreOf(e));
            if (!board.saved) {
                printErr("Could not write to file %s\n", board.name.c_str());
                saveStatisticsBeforeEnd();
                dropGuardedSave();
                fatalExit();
            }
            printOut("\n%s%s/%s\n", boardSavedText, program.settings.workingDirectory,
                     board.name.c_str());
            endGuardedSave();
        } else if (e < results.statistics.sinceStart.best) {
            printOut("\nBEST SCORE SINCE START!!!");
            results.statistics.sinceStart.best = e;
        }
        showFullBoard();
    }
    if (search.deepestReached < 256) search.deepestReached = 256;
}
