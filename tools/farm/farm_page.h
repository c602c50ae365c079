// What the farm records at every status refresh: a line of DIR/history.csv and, when asked
// for, the statistics page, rewritten whole so that a browser never reads half of it.
#pragma once

#include <string>
#include <vector>

#include "tools/common/search_history.h"
#include "tools/farm/farm_status.h"

inline constexpr int pageReloadSeconds = 30;

struct FarmRecord {
    std::string historyPath;  // DIR/history.csv
    std::string pagePath;     // the page, or empty for none
    // What the farm reads: the piece file the best board is checked against first, then the
    // groups file and the board file, if any. The page never takes the place of one of them.
    std::vector<std::string> inputs;
    HistoryRecord history;                     // the history so far, kept for the page only
    std::vector<std::string> historyProblems;  // what was wrong with the history file read
    std::string historyFault;     // why the history was last not written; empty while it is
    std::string lastPageProblem;  // the last problem of the page, so that it is said once
};

// A record of the farm in `directory`; reads the history of earlier starts when there is a
// page to plot it on. `inputs` begins with the piece file.
FarmRecord startFarmRecord(const std::string& directory, const std::string& pagePath,
                           const std::vector<std::string>& inputs);
// The history point of a refresh at `time` (seconds since 1970); its rate is the side-by-side
// rate of the statistics files, which a restart of the farm does not reset.
HistoryPoint historyPoint(std::int64_t time, const FarmTotals& totals);
// Writes the page of `directories` with the history so far; the problem in words or empty.
std::string writeFarmPage(const FarmRecord& record, const std::vector<std::string>& directories);
// Appends `point` to the history and rewrites the page; the messages for the console. A
// history that cannot be written is told once with why ("could not write to farm/history.csv
// (No space left on device); trying again at every save"), and once when it is written again
// ("farm/history.csv is written again"); a problem of the page the first time it occurs and
// then not again until another one comes.
std::vector<std::string> recordRefresh(FarmRecord& record,
                                       const std::vector<std::string>& directories,
                                       const HistoryPoint& point);
