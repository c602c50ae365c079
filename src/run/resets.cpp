#include "run/resets.h"

#include "base/clocks.h"
#include "base/program_state.h"
#include "base/random.h"
#include "base/settings.h"
#include "puzzle/candidate_ordering.h"
#include "puzzle/colour_scarcity.h"
#include "puzzle/list_editing.h"
#include "puzzle/puzzle_run.h"
#include "results/board_files.h"
#include "results/deepest_board.h"
#include "results/full_boards.h"
#include "results/statistics_records.h"
#include "results/tally.h"
#include "run/run_budget.h"
#include "run/run_setup.h"
#include "search/search_hooks.h"
#include "search/search_options.h"
#include "search/search_state.h"
#include "search/shallow_lists.h"
#include "stats/statistics_file.h"

void resetRun() {
    search = {};
    installSearchHooks();
    puzzleRun = {};
    runOptions = {};
    runStatistics = {};
    draws = {};
    resetRunBudget();
}

void installSearchHooks() {
    search.hooks = {onFullBoard, applyBudgetRules, stopRun};
}

void resetProgram() {
    program = {};
    boardLoading = {};
    deepestBoard = {};
    indexEditedLists();
    fullBoards = {};
    tallyLine = {};
    statistics = {};
    statisticsFile = {};
    setup = {};
    resetRun();
}
