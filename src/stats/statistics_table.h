// The layout of a statistics table, as the solver's report and tessaly-stats draw it: every
// line a label and three columns, four fields of 15 characters separated by single blanks,
// 63 characters, between rules of 63 dashes; and the cells that both fill it with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "results/statistics_records.h"

inline constexpr std::size_t fieldWidth = 15;
// The G of the node counts: a billion nodes.
inline constexpr std::int64_t nodesPerG = 1'000'000'000;
inline constexpr int columnsPerTable = 3;

// The cells of a row's three columns.
using TableCells = std::array<std::string, columnsPerTable>;

// `text` right-aligned in a field; a text wider than the field becomes a field of '*', so that
// every line keeps its width (the tables are read by programs too).
std::string field(const std::string& text);
// One line of a table: the label, then the three cells, each in its field.
std::string tableRow(const std::string& label, const TableCells& cells);
// The rule above and below the rows.
std::string tableRule();

// How the Nodes row shows its counts: in billions ("12 G") or whole.
enum class NodeFigures { billions, exact };
// A node count: "12 G" (billions), or in full.
std::string nodesCell(std::int64_t nodes, NodeFigures figures = NodeFigures::billions);
// A node rate in nodes per second: "1372 K".
std::string rateCell(std::int64_t rate);
// A best mismatch count as a score, 0 for no full board (20, or anything outside 0 to 19).
std::string scoreCell(std::int32_t best);
// Nodes per second, as every table computes it: 0 without seconds.
std::int64_t nodeRate(std::int64_t nodes, std::int64_t secs);
std::int64_t nodeRate(const StatsRecord& record);

// The figures of a record that every statistics table shows, a row each, before its rows of
// scores: the solver's report (its columns since start and in all), tessaly-stats' tables and
// the page's totals all follow this table.
enum class RecordFigure { nodes, time, rate, best, grade };
struct RecordRow {
    RecordFigure figure;
    const char* label;
};
inline constexpr std::array<RecordRow, 5> recordRows{{{RecordFigure::nodes, "Nodes"},
                                                      {RecordFigure::time, "Time"},
                                                      {RecordFigure::rate, "Nodes/sec"},
                                                      {RecordFigure::best, "Best"},
                                                      {RecordFigure::grade, "Grade"}}};
// The cell of `record` in the row of `figure`: nodesCell, durationText, rateCell of nodeRate,
// scoreCell, or the grade of its best in full (gradeText; a best outside 0 to 20 as none).
std::string recordCell(const StatsRecord& record, RecordFigure figure,
                       NodeFigures figures = NodeFigures::billions);
// The label of the row of the full boards with `mismatches` mismatched edges: their score.
std::string scoreRowLabel(int mismatches);
// A count of full boards as its row shows it.
std::string countCell(std::int64_t count);
