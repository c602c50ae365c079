#include "run/resets.h"

#include "base/program_state.h"
#include "puzzle/list_editing.h"
#include "puzzle/puzzle_run.h"
#include "results/full_boards.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "run/current_run.h"
#include "run/run_budget.h"
#include "run/run_setup.h"
#include "search/search_options.h"
#include "search/search_state.h"
#include "stats/statistics_file.h"

namespace {

// Sets the functions the search calls outside its layer (search.hooks): the handling of a full
// board, the run budget's rules and the end of a run.
void installSearchHooks() {
    search.hooks = {onFullBoard, applyBudgetRules, stopRun};
}

}  // namespace

void resetRun() {
    puzzleRun = {};
    search = {};
    installSearchHooks();
    runOptions = {};
    runStatistics = {};
    currentRun = {};
    resetRunBudget();
}

void resetProgram() {
    program = {};
    results = {};
    statisticsFile = {};
    setup = {};
    indexEditedLists();
    resetRun();
}
