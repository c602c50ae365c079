// The deepest board of a directory, deepest.txt: the board with the most pieces that any run
// there placed (or as many with fewer mismatched edges), a full board included, kept across
// runs and starts as a board file that the solver loads and tessaly-show checks and draws.
// On a puzzle where no run finishes a board it shows how deep the search gets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "puzzle/piece_code.h"
#include "puzzle/piece_file.h"
#include "search/search_state.h"

inline constexpr const char* deepestBoardFileName = "deepest.txt";
// A board file holds 18 short lines; a larger deepest.txt is none.
inline constexpr std::size_t largestDeepestBoardFile = 1 << 16;

// The board kept, for the program's life. resetProgram restores it.
struct DeepestBoardState {
    // The deepest depth on its board (the deepest depth in fill order whose square holds a
    // piece; a full board 254), or -1 for none.
    std::int32_t depth = -1;
    std::int32_t mismatches = 0;  // its mismatched edges between filled squares
    std::array<PieceCode, 256> board{};
    bool unsaved = false;       // deeper than deepest.txt holds
    bool keeping = true;        // false when deepest.txt could not be read and is in the way
    bool failureShown = false;  // a save that fails is reported once
};

// The deepest depth of `slots` and the mismatched edges between its filled squares.
BoardDepth depthOf(const std::array<PieceCode, 256>& slots);
// Why `text`, what a deepest.txt holds, is no deepest board of `pieces`, or an empty text;
// `slots` gets its board. It must be a board file (every board line 16 cells, 16 board lines)
// whose cells are pieces, no piece twice, the hint piece in place, no edge facing the outline
// with another colour than the border, every square filled in fill order up to the deepest
// one, and no more mismatched edges than the search lets a board have. The solver and the
// companions judge the file by this one rule.
std::string deepestBoardProblem(const std::string& text, const PieceTables& pieces,
                                std::array<PieceCode, 256>& slots);

// Reads deepest.txt of the current directory at start-up, with the pieces' tables built. A file
// that is not a board of these pieces (a cell that is no piece, a piece twice, the hint piece
// out of place, an edge facing the outline that is not border, more mismatched edges than a
// board may have) is moved aside to deepest.txt.damaged-STAMP with one line on the error
// stream, so that nothing is lost and no shallower board replaces it silently; one that the
// system cannot read now is tried again for a moment, then left in place and not written over
// during this start, as one line says.
void readDeepestBoard();
// At a run's start: hands the board kept so far to the search, whose placements that may beat
// it it then keeps (search.keepFrom and the rest).
void armDeepestBoard();
// The board the current run kept (search.deepestBoard): the hint and the squares of the depths
// up to search.deepestDepth, as the run's search had them filled (placed by it or loaded from a
// board file), measured like the runs, by the depth the run placed. Deeper squares, which hold
// older attempts or a loaded board's pieces that the run never reached, are empty.
std::array<PieceCode, 256> runDeepestBoard();
// Takes the board that the current run kept when it beats the one kept so far; called at every
// statistics save, so the search never waits for it.
void takeDeeperBoard();
// Writes deepest.txt whole (through the whole-file writer) when a deeper board waits, synced
// when `sync`; a failure is reported once and tried again at the next save.
void saveDeepestBoard(bool sync);
// The board file text of a kept board: its comment and the grid.
std::string deepestBoardText(const DeepestBoardState& kept);
