// The statistics page: one self-contained HTML document (inline CSS and SVG, no script, no
// fetch) that a browser opens from a file or any static web server. It is written
// well-formed, so that it also parses as XML.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/board_picture.h"
#include "tools/common/deepest_boards.h"
#include "tools/common/directory_reading.h"
#include "tools/common/search_history.h"
#include "tools/common/statistics_tables.h"

// What the page shows.
struct PageContent {
    std::vector<DirectoryStatistics> directories;  // those read, in the order named
    std::vector<SkippedDirectory> skipped;         // those whose statistics were not read
    std::vector<RecordBoard> boards;               // their record boards, best first
    NodeFigures figures = NodeFigures::billions;
    HistoryRecord history;    // the farm's history, empty when there is none
    std::string historyFile;  // where it was read, empty when none was found
    BoardPicture bestBoard;
    RunDepths runDepths;         // the deepest depth, the deepest board and the runs by depth band
    std::string writtenBy;       // the program that writes the page
    std::int64_t writtenAt = 0;  // seconds since 1970
    int reloadSeconds = 0;       // the page reloads itself this often; 0 for never
};

// The page: the figures of the table of totals (a table with id "totals", one row per
// figure, and a last row "Deepest depth"), the bar chart of full boards per score, the bar
// chart of runs by deepest depth, the history plots of node rate and best score, a row per
// directory (table id "directories": name, nodes, rate, best; then one row with the name and
// the problem for each directory skipped), the best record board and the deepest board, each
// with tessaly-show's report of it, and the list of record boards.
std::string statusPage(const PageContent& content);

// What the page shows of the directories read: their record boards, `bestBoard`, the picture
// of the best one (bestBoardPicture), and `runDepths` (readRunDepths). The history is left
// empty.
PageContent pageContent(const ReadDirectories& read, NodeFigures figures, BoardPicture bestBoard,
                        RunDepths runDepths);
// The files the page must never take the place of: those it is made from (the record boards
// of the directories read, the piece files and the history file) and those the directories
// named keep (keptFilesIn), and their parents too, where a farm keeps its lock and history.
std::vector<std::string> pageInputs(const PageContent& content);
// history.csv in the shared parent of `directories`, when there is one and it is a regular
// file; an empty text otherwise.
std::string historyBeside(const std::vector<DirectoryStatistics>& directories);
