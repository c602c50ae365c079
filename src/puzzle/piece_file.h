// The piece file "k7pieces.txt": 256 lines of four file colours (right, bottom, left, top).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/file_reading.h"
#include "puzzle/piece_code.h"

inline constexpr int pieceCount = 256;
// The piece file's name in a solver's start directory.
inline constexpr const char* pieceFileName = "k7pieces.txt";

// Program colour of every file colour; file colour 0, the border, becomes borderColour.
inline constexpr std::array<int, colourCount> colourMap{22, 21, 0, 9,  14, 18, 11, 6, 2, 17, 15, 16,
                                                        7,  19, 1, 12, 13, 20, 3,  5, 4, 8,  10};

// The two tables a piece file gives.
struct PieceTables {
    std::array<PieceCode, pieceCount> codes{};
    std::array<std::int32_t, pieceCount> borderCount{};
};

// What was wrong with a piece file, and where: `line` counts the lines read, the failing one
// included, from 1; `colour` is the number that lay outside 0 to 22, as written (it may be
// too large for any integer type); `opening` says why a file that cannot be opened was not.
struct PieceFileError {
    enum Kind { none, cannotOpen, earlyEnd, badLine, badColour };
    Kind kind = none;
    int line = 0;
    std::string colour;
    FileReading opening;
};

// Reads the piece file at `path` into `tables` by the rules of readPieceFile, but returns its
// first fault instead of ending the program; `tables` is complete only when none was found.
// Only a regular file is opened (openRegularFile), and no more than its first 256 lines of at
// most 48 characters are read, whatever its size.
PieceFileError parsePieceFile(const char* path, PieceTables& tables);

// Reads the piece file at `path` into pieceCodes and borderCount; on any fault prints its
// message on the error stream and ends the program through fatalExit.
void readPieceFile(const char* path);
