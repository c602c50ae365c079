// The score of a full board and the names of the files its board is saved in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The inner edges of a 16 x 16 board, and so the score of a perfect board.
inline constexpr int perfectScore = 480;

// The score of a full board with `mismatches` mismatched inner edges.
constexpr int scoreOf(int mismatches) {
    return perfectScore - mismatches;
}

// The name of the `copy`-th board file of `score` in a directory: "463.tsr" for the first,
// "463-2.tsr", "463-3.tsr", ... for later ones, so that no saved board is ever replaced.
std::string recordBoardFileName(int score, long long copy);

// What a record board's file name says: the score it starts with (decimal digits, at most
// perfectScore) and, for "SCORE-N.tsr", the copy N; 1 for any other name ending in ".tsr".
struct RecordBoardFileName {
    int score;
    long long copy;
};
// The score a file name (without its directory) starts with, as record boards are named: its
// leading decimal digits, at most perfectScore, followed by '.' or '-'; nothing for other names.
std::optional<int> scoreInRecordBoardName(std::string_view name);
// The score and copy of a name as recordBoardFileName makes them, or of any name ending in ".tsr"
// whose score scoreInRecordBoardName finds; nothing for other names.
std::optional<RecordBoardFileName> parseRecordBoardFileName(std::string_view name);
