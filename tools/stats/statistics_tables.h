// The merged statistics as text tables in the layout of the solver's statistics report:
// every line four fields of 15 characters separated by single blanks, 63 characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "stats/directory_reading.h"

inline constexpr std::size_t fieldWidth = 15;
inline constexpr int columnsPerTable = 3;

// How the Nodes row shows its counts: in billions ("12 G", as the solver does) or whole.
enum class NodeFigures { billions, exact };

// The figures of the tables' cells, which the statistics page shows as they are.
// A node count: "12 G" (billions), or in full.
std::string nodesCell(std::int64_t nodes, NodeFigures figures);
// A node rate in nodes per second: "1372 K".
std::string rateCell(std::int64_t rate);
// The best score of a record, 0 when it has no full board.
std::string scoreCell(const StatsRecord& record);
// The grade comment of a record's best, cut to a field rather than shown as overflow.
std::string gradeCell(const StatsRecord& record);

// `text` right-aligned in a field; a text too wide for it shows as a field of '*'.
std::string field(const std::string& text);
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
