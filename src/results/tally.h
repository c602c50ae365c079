// The tally line of imperfect full boards: one line per mismatch count, one mark per board.
#pragma once

#include <cstdint>

// Mismatch count of the open tally line; 500 when no line is open.
extern std::int32_t lastShownMismatch;
// Marks on the open tally line.
extern std::int32_t repeatCount;

// Shows the full board now on the board (mismatchCount above 0) on the tally line.
void showFullBoard();
