// Reading what tessaly-show is shown: the piece file, and a board given as a RecordBoardFile
// (the solver's SCORE.tsr) or as a BoardFile (the grid the solver loads). Nothing here ends
// the program: every fault comes back as a sentence that names the problem, for the caller
// to print with the file's name.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "puzzle/piece_code.h"
#include "puzzle/piece_file.h"

// The two board formats, told apart by the first line: a record board begins with its
// version line "K7 v1.0", anything else is read as a grid.
enum class BoardFormat { record, grid };

// A board as read: the word of every board slot, emptyCode for an empty slot. The words of
// a record board are kept as decoded, lastInList bit included; a grid gives the codes its
// cells name, built from the piece file.
struct ReadBoard {
    BoardFormat format = BoardFormat::grid;
    std::array<PieceCode, 256> slots{};
};

// Either what was read or why nothing could be.
template <typename T>
struct Reading {
    std::optional<T> value;
    std::string problem;  // empty when value is set
};

// The piece file at `path`, read by the solver's rules without ending the program.
Reading<PieceTables> readPieces(const std::string& path);

// A board from the text of a board file of either format. Grid cells are turned into codes
// with `pieces`.
Reading<ReadBoard> readBoardText(const std::string& text, const PieceTables& pieces);

// The board in the file at `path`; the file must be a regular file.
Reading<ReadBoard> readBoardFile(const std::string& path, const PieceTables& pieces);

// The whole content of a regular file, or why it cannot be read.
Reading<std::string> readWholeFile(const std::string& path);
