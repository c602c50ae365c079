// The pictures of the statistics page, each one <svg> element of class "chart": the full
// boards per score, the runs by deepest depth and the history of a farm.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "results/statistics_records.h"
#include "tools/common/deepest_boards.h"
#include "tools/common/search_history.h"

// A bar chart of the full boards of every score 461 to 480 in `record`, on a log scale: one
// rect of class "bar" per score with boards, carrying data-score and data-boards.
std::string boardCountChart(const StatsRecord& record);
// A bar chart of the runs in each depth band, in the same style: one rect of class "bar" per
// band with runs, carrying data-band (its name) and data-runs.
std::string runDepthChart(const DepthBands& runs);

// What a history plot shows against time.
enum class HistoryMeasure { nodeRate, bestScore };

// A line plot of `measure` against the time of the points: one polyline of class "plot-line"
// with a vertex per point (of at most `plottedPoints`, evenly chosen, first and last kept);
// points without a full board yet are left out of the best-score plot.
std::string historyPlot(const std::vector<HistoryPoint>& history, HistoryMeasure measure);

inline constexpr std::size_t plottedPoints = 1000;

// A time given in seconds since 1970 as a date and time of day in UTC, "2026-12-07 13:30 UTC".
std::string utcTimeText(std::int64_t seconds);
