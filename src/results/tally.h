// The tally line of imperfect full boards: one line per mismatch count, one mark per board.
#pragma once

#include <cstdint>

struct TallyLine {
    // Mismatch count of the open tally line; 500 when no line is open.
    std::int32_t lastShownMismatch = 500;
    // Marks on the open tally line.
    std::int32_t repeatCount = 0;
};
extern TallyLine tallyLine;

// Shows the full board now on the board (mismatchCount above 0) on the tally line.
void showFullBoard();
