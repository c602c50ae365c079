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

// The history file in the farm's directory.
inline constexpr const char* historyFileName = "history.csv";

// The first line of a history file.
inline constexpr const char* historyHeader = "time,nodes,nodes_per_sec,best,full_boards";

// A history as the page plots it, of a fixed size however long the farm has run: at most
// keptHistoryPoints points evenly spread over all those added (every stride-th one, the
// first among them) and the latest one.
struct HistoryRecord {
    std::vector<HistoryPoint> points;  // in the order added
    std::int64_t count = 0;            // points added in all
    std::int64_t stride = 1;           // every stride-th point added is kept
    bool latestExtra = false;          // the last point is the latest, kept off the stride
};
inline constexpr std::size_t keptHistoryPoints = 4096;
// At most this much of a history file is read, its end: half a year of refreshes 3 seconds
// apart. A larger file is a farm of years, or no history at all.
inline constexpr std::uint64_t historyReadLimit = 256u << 20;

// One line of a history file, without its line end.
std::string historyLine(const HistoryPoint& point);
// Appends the line of `point` to the file at `path`, with the header line first when the
// file is new or empty. Only a regular file is appended to, never through a link. Why it was
// not written, in words that follow the path ("No space left on device", "it is a symbolic
// link, which is not written through"), or an empty text when it was written.
std::string appendHistory(const std::string& path, const HistoryPoint& point);
// The points of the history text `text`: the header and lines that are not five whole
// numbers (a line cut short by a stop, say) are passed over.
std::vector<HistoryPoint> historyPoints(const std::string& text);
// Adds `point` to `history`, thinning it to every other point kept when it is full.
void addHistoryPoint(HistoryRecord& history, const HistoryPoint& point);

// What was read of a history file, and what was wrong with it, a sentence each that follows
// the file's name: "is larger than 256 MB: only its last 256 MB are read", "has 2 damaged
// lines, passed over", "is a FIFO, not a regular file".
struct HistoryReading {
    HistoryRecord history;
    std::vector<std::string> problems;
};
// Reads the history file at `path` a piece at a time into a HistoryRecord: no more than its
// last `limit` bytes (the first line of those, perhaps cut, passed over), and no line longer
// than a history line can be held whole. A missing file is an empty history without a problem.
HistoryReading readHistory(const std::string& path, std::uint64_t limit = historyReadLimit);
