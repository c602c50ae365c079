// Picks the board announcements out of an instance's console output as it comes.
#pragma once

#include <string>
#include <vector>

struct BoardNews {
    bool perfect;          // a perfect board rather than a new record
    std::string fileName;  // the board file's name in the instance's directory
    bool saved = true;     // false: the board could not be written, and `board` holds it
    std::string board;     // for an unsaved board: the solver's message and the board's lines
};

// The part of the output seen so far: an unfinished last line, and an unsaved board's report
// that has not come whole yet.
struct LogWatch {
    std::string partialLine;
    BoardNews unsaved{false, "", false, ""};
    int unsavedLinesDue = 0;
};

// The announcements in `text`, the next piece of the output; lines may be split between
// pieces. An unsaved board is one piece of news once all its lines have come.
std::vector<BoardNews> scanLogText(LogWatch& watch, const std::string& text);
// At the end of the output: the report of an unsaved board cut short, if any.
std::vector<BoardNews> endLogText(LogWatch& watch);
