// The merged statistics as text tables in the layout of the solver's statistics report:
// every line four fields of 15 characters separated by single blanks, 63 characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "stats/statistics_table.h"
#include "tools/common/directory_reading.h"

// The tables' rows and cells, which the statistics page shows as they are, are the solver's
// (recordRows, recordCell); the grade comment of a record's best is cut to a field rather than
// shown as overflow.
std::string gradeCell(const StatsRecord& record);

// A column head for `name`: the name itself, or "..." and its tail when it is too long.
std::string columnHead(const std::string& name);
// One table per three directories, then one table of the combined totals: a column "All N"
// for the sum of the N directories, with a row "Side by side" for the node rate of all of
// them running at once. Every table has the rows Nodes, Time, Nodes/sec, Best and Grade,
// then one row per score 480 - i for every mismatch count i with boards in any directory.
std::string statisticsTables(const std::vector<DirectoryStatistics>& directories,
                             NodeFigures figures);

// One row of the table of totals: its label and the cell of its one column.
struct Figure {
    std::string label;
    std::string value;
};
// The rows Nodes, Time, Nodes/sec, Side by side, Best and Grade of the table of totals, with
// the same cells.
std::vector<Figure> mergedFigures(const std::vector<DirectoryStatistics>& directories,
                                  NodeFigures figures);
