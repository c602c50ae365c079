#include "results/full_boards.h"

#include <cstdio>
#include <string>

#include "base/console.h"
#include "base/settings.h"
#include "results/board_files.h"
#include "results/tally.h"
#include "run/startup.h"
#include "search/search_state.h"
#include "stats/statistics_records.h"
#include "stats/time_texts.h"

std::int32_t fullBoardCount = 0;
std::int32_t& checkValue = grandTotal.check;
void (*fullBoardWatcher)() = nullptr;

void onFullBoard() {
    const int e = mismatchCount;
    ++fullBoardTally[e];
    ++fullBoardCount;
    if (fullBoardWatcher != nullptr) fullBoardWatcher();
    if (e == 0) {
        printOut("Nr solutions = %d, after %s\n", fullBoardCount, elapsedText().c_str());
        // A perfect board is what the program is run for: keep every one of them.
        // A board that cannot be saved is printed instead, and the search goes on.
        const std::optional<std::string> name = savePerfectBoard();
        if (name) printOut("Board is saved in %s/%s\n", settings.workingDirectory, name->c_str());
    } else {
        if (e < grandTotal.best) {
            char name[16];
            std::snprintf(name, sizeof name, "%d.tsr", 480 - e);
            printOut("\nNEW RECORD!!!");
            grandTotal.best = e;
            sinceStart.best = e;
            checkValue = (e * (3 * e + 7) + 29) % 100;
            // Announced as saved only once it is on the disk; a board that cannot be saved is
            // printed and ends the program.
            saveRecordBoard(name);
            printOut("\nBoard is saved in %s/%s\n", settings.workingDirectory, name);
        } else if (e < sinceStart.best) {
            printOut("\nBEST SCORE SINCE START!!!");
            sinceStart.best = e;
        }
        showFullBoard();
    }
    if (deepestReached < 256) deepestReached = 256;
}
