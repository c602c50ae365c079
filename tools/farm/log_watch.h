// Picks the board announcements out of an instance's console log as it grows.
#pragma once

#include <string>
#include <vector>

struct BoardNews {
    bool perfect;          // a perfect board rather than a new record
    std::string fileName;  // the board file's name in the instance's directory
};

// The part of a log seen so far: where reading goes on, and an unfinished last line.
struct LogWatch {
    std::string path;
    long offset = 0;
    std::string partialLine;
};

// The announcements in `text`, the next piece of a log; lines may be split between pieces.
std::vector<BoardNews> scanLogText(LogWatch& watch, const std::string& text);
// Reads what was added to the log since the last call and scans it. A log that shrank (it
// was replaced) is read again from its start.
std::vector<BoardNews> readLogNews(LogWatch& watch);
