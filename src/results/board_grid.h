// The grid of a board file, as every program reads it: the file is read in pieces of at most
// 999 characters (a longer line goes on as a line of its own); a piece without a '/' is no
// board line and is passed over; the first board line fills slot row 15, the sixteenth slot
// row 0, and further lines are not read. Cells are separated by blanks, tabs and carriage
// returns; a line's cells after its sixteenth are not used.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "puzzle/piece_code.h"

inline constexpr int gridRows = 16;
inline constexpr int gridCellsPerRow = 16;
// The largest board file read, of either format: far more than any board needs, so that a
// huge file is refused rather than read to its end at every run.
inline constexpr std::uint64_t largestBoardFile = 16u << 20;

// One board line.
struct GridLine {
    int row;                         // the slot row it fills, 15 for the first board line
    std::int64_t lineNumber;         // the line of the file it stands on, from 1
    std::vector<std::string> cells;  // its first cells, at most 16; a NUL byte of the file
                                     // reads as 0x7f, which no cell may hold, so that a cell
                                     // text always ends where its separator is
};

// Reads the board lines of the open board file `file` to its end or to the sixteenth, handing
// each to `onLine`. Returns how many there were. However long the file, it holds no more than
// one piece of a line in memory.
int readGridLines(std::FILE* file, const std::function<void(const GridLine&)>& onLine);

// One cell of a BoardFile: "---/-" or "0/0" for an empty slot, or a piece number 1 to 256, a
// "/" and a rotation digit 0 to 3, which names piece number - 1 in that rotation; blanks
// around the cell are allowed. Sets `code` to the rotationTable code of the piece, or to
// emptyCode; returns false, with emptyCode, for a cell that is none of these.
bool parseCell(const char* cell, PieceCode& code);
// The same cell read without the piece tables: sets `piece` to the piece number (0 to 255) and
// `rotation` to the rotation it names, or `piece` to -1 for an empty or malformed cell; returns
// false for a malformed one.
bool parseCellPiece(const char* cell, int& piece, int& rotation);
// The code a cell names, or emptyCode for an empty or malformed cell.
PieceCode parseCell(const char* cell);
// A cell as a message shows it: printable characters kept, others as '?', cut after 20
// characters with "...".
std::string shownCell(std::string_view cell);
