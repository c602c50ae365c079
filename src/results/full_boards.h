// What happens at every full board: counting, announcements and record boards.
#pragma once

#include <cstdint>

// Full boards since program start.
extern std::int32_t fullBoardCount;
// Check value of the statistics, recomputed at every new record.
extern std::int32_t& checkValue;

// Called at every full board after it has been counted, when set; the benchmark digests the
// boards with it.
extern void (*fullBoardWatcher)();

// Counts the full board now on the board, announces perfect boards, records and bests since
// start, saves record and perfect boards and shows imperfect boards on the tally line.
void onFullBoard();
