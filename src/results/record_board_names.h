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

// The most board files of one score in one directory: the solver looks no further for a free
// name, and a copy number past it names no board the solver wrote.
inline constexpr long long mostBoardCopies = 1'000'000;

// The name of the `copy`-th board file of `score` in a directory: "463.tsr" for the first,
// "463-2.tsr", "463-3.tsr", ... for later ones, so that no saved board is ever replaced.
std::string recordBoardFileName(int score, long long copy);

// What a record board's file name says: its score and its copy, 1 for the first.
struct RecordBoardFileName {
    int score;
    long long copy;
};
// The score and copy of `name` (without its directory) when it is exactly a name that
// recordBoardFileName makes: a score from 0 to perfectScore and a copy from 2 to
// mostBoardCopies, both without a leading zero; nothing for any other name.
std::optional<RecordBoardFileName> parseRecordBoardFileName(std::string_view name);
