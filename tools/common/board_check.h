// Checking a board against its piece file: the mismatched inner edges, recounted from the
// colours on the board, and the rules a board must keep, by the solver's own rules
// (src/results/board_rules.h) square by square. Squares are (row, column) with
// (0, 0) at the top left; in texts pieces are numbered from 1 by their line in the piece file,
// as in board files, and colours are the numbers the piece file uses (0 is the border).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "results/board_rules.h"
#include "results/record_board_names.h"
#include "search/board_geometry.h"
#include "tools/common/board_reading.h"

// Inner edges of the board: 15 in each of 16 rows and 15 in each of 16 columns, one point of
// the score each.
inline constexpr int innerEdges = perfectScore;

// The number the piece file uses for a program colour.
int fileColour(int programColour);

// An inner edge between two filled squares whose colours differ (program colours).
using Mismatch = JoinedEdge;

// An edge that faces the outline of the board with another colour than the border.
struct RimFault {
    Square square;
    Side side;
    int colour;  // program colour
};

struct BoardCheck {
    int filled = 0;       // squares that hold a piece
    int joinedEdges = 0;  // inner edges with a piece on both sides
    std::vector<Mismatch> mismatches;
    std::vector<RimFault> rimFaults;
    // Every rule the board breaks, one sentence each; empty for a valid board.
    std::vector<std::string> ruleBreaks;
    // Notes that are no fault, such as an empty hint square in a board file.
    std::vector<std::string> notes;
    // The score of the record board's file name, when it is named as the solver names one.
    std::optional<int> nameScore;
    // Why the board is not what its name says (not full, or of another score), or empty; it is
    // one of the rules broken too.
    std::string nameFault;

    bool full() const { return filled == 256; }
    // The score of the mismatched inner edges; a full-board score only when full().
    int score() const { return scoreOf(static_cast<int>(mismatches.size())); }
};

// Checks `board` against `pieces`: every square holds a piece in the colours the piece file
// gives it in its rotation, no piece stands twice, the hint piece stands on the hint square in
// rotation 2, no edge faces the outline with another colour than the border, a record board
// named as the solver names one is full and agrees with the score of its name. A board file may be
// partly filled and may leave the hint square empty, where the solver places the hint piece.
BoardCheck checkBoard(const ReadBoard& board, const PieceTables& pieces,
                      const std::string& boardPath);

// The report printed for a checked board: how full it is, its score, every mismatched edge,
// the name score, the rules broken and the verdict.
std::string reportText(const std::string& boardPath, const ReadBoard& board,
                       const BoardCheck& check);
