// Board files: the BoardFile loaded at the start of every run, and the RecordBoardFile
// written for record and perfect boards.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/settings.h"
#include "puzzle/piece_code.h"
#include "results/grid_writing.h"

// A RecordBoardFile: its version line, then five random words, the chain start, the 256 chain
// words and a last random word, each of eight hexadecimal digits.
inline constexpr std::string_view recordBoardVersionLine = "K7 v1.0";
inline constexpr int recordBoardLeadingWords = 5;
inline constexpr int recordBoardWords = recordBoardLeadingWords + 1 + 256 + 1;
// A RecordBoardFile holds about 2,400 bytes; a larger file is none.
inline constexpr std::size_t largestRecordBoardFile = 1 << 16;

// What the solver prints before "DIR/NAME" of a board it saved, or could not save; the farm
// watches its instances' output for the second, which it knows only from that text. The
// message of an unsaved board then gives ": REASON" and ends in boardNotSavedEnd.
inline constexpr const char* boardSavedText = "Board is saved in ";
inline constexpr const char* boardNotSavedText = "Board could not be saved in ";
inline constexpr const char* boardNotSavedEnd = "; here it is as a board file:";
// The lines printed for a board that could not be saved: the message, then the board as a
// BoardFile.
inline constexpr int unsavedBoardLines = 1 + gridTextLines;

// The RecordBoardFile text of `slots`: the version line and 263 hexadecimal words, the board
// chained by xor behind five random words and a random start word, then one more random word.
// Draws seven words from mainRandom.
std::string recordBoardText(const std::array<PieceCode, 256>& slots);
// The 256 slot words of a RecordBoardFile text, or nothing when it is not one.
std::optional<std::array<PieceCode, 256>> decodeRecordBoard(const std::string& text);
// Writes the RecordBoardFile of the current board as "SCORE.tsr" in the current directory, or,
// when a board of that score is there already, as "SCORE-2.tsr", "SCORE-3.tsr", ... so that no
// saved board is ever replaced (whole, through a temporary file, so that a failure leaves no
// partial board), and flushes it and its directory entry to the disk. Returns the name; when
// the file cannot be written, prints the board instead (printUnsavedBoard).
struct SavedBoard {
    std::string name;  // the file's name, or the name it could not be written as
    bool saved;
};
SavedBoard saveBoardOfScore(int score);
// Renames the board file `from`, written whole and synced, to the first free name of `score`
// ("463.tsr", else "463-2.tsr", ...), never over another board, and syncs the directory entry.
struct BoardRename {
    std::string name;  // the name taken, or the last one tried
    int error;         // 0, or the errno of the rename that failed
};
BoardRename renameToFreeBoardName(const std::string& from, int score);
// Why `text` is no record board of `score` for the pieces read (not a RecordBoardFile, a board
// not full, a board rule broken, another score), or an empty text.
std::string recordBoardProblem(const std::string& text, int score);
// Prints the message that the current board could not be saved as `fileName` (in
// settings.workingDirectory) for the reason `error` (an errno), then the board as BoardFile lines
// that `tessaly FILE` loads, so that a board that cannot be written is never lost.
void printUnsavedBoard(const char* fileName, int error);

// Loads the BoardFile at settings.boardPath onto a board cleared again (search = {}): its board
// lines fill slot rows 15 down to 0, its pieces go into their slots, are taken out of play,
// counted as group members and removed from the candidate lists, every removal recorded on
// the undo stacks. Faults of the file are reported on the error stream, at most 30 lines and
// then their number, and not again while a load finds the same faults as the one before; the
// load goes on with the slot, the row or the rest of the board empty. A file that cannot be
// opened leaves the board as it was.
void loadBoard();
// What loading keeps between runs: the faults the last load printed, so that a file's unchanged
// faults are shown once per start. resetProgram restores it.
struct BoardLoadingState {
    std::string lastFaults;
};
