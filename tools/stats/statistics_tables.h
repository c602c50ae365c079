// The merged statistics as text tables in the layout of the solver's statistics report:
// every line four fields of 15 characters separated by single blanks, 63 characters.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "stats/directory_reading.h"

inline constexpr std::size_t fieldWidth = 15;
inline constexpr int columnsPerTable = 3;

// How the Nodes row shows its counts: in billions ("12 G", as the solver does) or whole.
enum class NodeFigures { billions, exact };

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
