// Picks the reports of boards the solver could not save out of an instance's console output as
// it comes: such a board exists only as the text that follows the report.
#pragma once

#include <string>
#include <vector>

#include "tools/farm/board_watch.h"

// The part of the output seen so far that is not judged yet, and an unsaved board's report that
// has not come whole yet.
struct LogWatch {
    // The instance's directory as the solver names it in its output: a report counts only when
    // its line is exactly "Board could not be saved in DIRECTORY/NAME: REASON; here it is as a
    // board file:", NAME a record board's name, so that a directory's name cannot fake one.
    std::string directory;
    std::string pending;        // output from the start of a line on
    bool skippingLine = false;  // the line under way is no report: its rest is passed over
    BoardNews unsaved{false, "", false, {}};
    int unsavedLinesDue = 0;
};

// The unsaved boards reported in `text`, the next piece of the output; lines may be split between
// pieces. An unsaved board is one piece of news once all its lines have come.
std::vector<BoardNews> scanLogText(LogWatch& watch, const std::string& text);
// At the end of the output: the report of an unsaved board cut short, if any.
std::vector<BoardNews> endLogText(LogWatch& watch);
