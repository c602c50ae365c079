// The record boards (SCORE.tsr, SCORE-N.tsr) of solver directories, best first.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How many record boards the lists show.
inline constexpr std::size_t listedRecordBoards = 10;

struct RecordBoard {
    int score;         // the score the file name starts with
    long long serial;  // N of "SCORE-N.tsr", 1 otherwise: orders the boards of one score
    std::string path;  // the directory as given, a slash and the file name
};

// The score and serial of a record board file name ("468.tsr", "480-2.tsr"), as the results
// layer parses it; nothing for other names.
std::optional<RecordBoard> recordBoardName(std::string_view name);
// The record boards among the regular files of `directory`, in the order of their scores (best
// first) and serials. A directory that cannot be listed, or vanishes while it is listed,
// gives the boards seen so far.
std::vector<RecordBoard> recordBoardsIn(const std::string& directory);
// Sorts `boards` best score first; boards of one score keep their order.
void sortBestFirst(std::vector<RecordBoard>& boards);
// At most `limit` lines "  SCORE  PATH" of the first boards, under a heading; a line saying
// so when there are none.
std::string recordBoardListText(const std::vector<RecordBoard>& boards, std::size_t limit);
