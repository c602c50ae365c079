// Board files: the RecordBoardFile written for record and perfect boards.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "puzzle/piece_code.h"

// The RecordBoardFile text of `slots`: the version line and 263 hexadecimal words, the board
// chained by xor behind five random words and a random start word, then one more random word.
// Draws seven words from mainRandom.
std::string recordBoardText(const std::array<PieceCode, 256>& slots);
// The 256 slot words of a RecordBoardFile text, or nothing when it is not one.
std::optional<std::array<PieceCode, 256>> decodeRecordBoard(const std::string& text);
// Writes the RecordBoardFile of the current board under `fileName` in the current directory,
// replacing any file of that name; ends the program if the file cannot be written.
void saveRecordBoard(const char* fileName);
// Writes the RecordBoardFile of the current perfect board as "480.tsr", or "480-2.tsr",
// "480-3.tsr", ... so that no earlier perfect board is ever overwritten; returns the name.
std::string savePerfectBoard();
