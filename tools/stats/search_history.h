// The history of a farm: one line per status refresh in DIR/history.csv, so that a page can
// plot how the node rate and the best score moved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One status refresh of the farm.
struct HistoryPoint {
    std::int64_t time = 0;        // wall clock, seconds since 1970
    std::int64_t nodes = 0;       // nodes in all statistics files
    std::int64_t rate = 0;        // nodes per second of the instances side by side
    int best = 0;                 // best score, 0 before the first full board
    std::int64_t fullBoards = 0;  // full boards of every score
};

// The first line of a history file.
inline constexpr const char* historyHeader = "time,nodes,nodes_per_sec,best,full_boards";

// One line of a history file, without its line end.
std::string historyLine(const HistoryPoint& point);
// Appends the line of `point` to the file at `path`, with the header line first when the
// file is new or empty. The problem in words, or an empty text when it was written.
std::string appendHistory(const std::string& path, const HistoryPoint& point);
// The points of the history text `text`: the header and lines that are not five whole
// numbers (a line cut short by a stop, say) are passed over.
std::vector<HistoryPoint> historyPoints(const std::string& text);
// The points of the history file at `path`; nothing when it cannot be read.
std::vector<HistoryPoint> readHistory(const std::string& path);
