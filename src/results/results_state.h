// What the results layer keeps for the whole process, in one record: the full boards found, the
// tally line, the deepest board kept, what loading a board file last found wrong and the
// statistics. resetProgram starts again from a fresh one.
#pragma once

#include "results/board_files.h"
#include "results/deepest_board.h"
#include "results/full_boards.h"
#include "results/statistics_records.h"
#include "results/tally.h"

struct ResultsState {
    FullBoards fullBoards;
    TallyLine tallyLine;
    DeepestBoardState deepestBoard;
    BoardLoadingState boardLoading;
    Statistics statistics;
};
// The one instance.
extern ResultsState results;
