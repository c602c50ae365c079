// The tally line of imperfect full boards: one line per mismatch count, one mark per board.
#pragma once

#include <cstdint>

struct TallyLine {
    // Mismatch count of the open tally line; 500 when no line is open.
    std::int32_t lastShownMismatch = 500;
    // Marks on the open tally line.
    std::int64_t repeatCount = 0;
};
// Closes the open tally line, after something else was printed: the next board starts a new one.
void closeTallyLine();

// Shows the full board now on the board (mismatchCount above 0) on the tally line.
void showFullBoard();
