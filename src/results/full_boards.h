// What happens at every full board: counting, announcements and record boards.
#pragma once

#include <cstdint>

struct FullBoards {
    // Full boards since program start: an instance on an easy puzzle finds thousands a second
    // for weeks.
    std::int64_t count = 0;
    // Called at every full board after it has been counted, when set; the benchmark digests
    // the boards with it.
    void (*watcher)() = nullptr;
};

// Counts the full board now on the board, announces perfect boards, records and bests since
// start, saves record and perfect boards and shows imperfect boards on the tally line.
void onFullBoard();
