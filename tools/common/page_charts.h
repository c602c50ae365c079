// The pictures of the statistics page, each one <svg> element of class "chart": the full
// boards per score and the history of a farm.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "results/statistics_records.h"
#include "tools/common/search_history.h"

// A bar chart of the full boards of every score 461 to 480 in `record`, on a log scale: one
// rect of class "bar" per score with boards, carrying data-score and data-boards.
std::string boardCountChart(const StatsRecord& record);

// What a history plot shows against time.
enum class HistoryMeasure { nodeRate, bestScore };

// A line plot of `measure` against the time of the points: one polyline of class "plot-line"
// with a vertex per point (of at most `plottedPoints`, evenly chosen, first and last kept);
// points without a full board yet are left out of the best-score plot.
std::string historyPlot(const std::vector<HistoryPoint>& history, HistoryMeasure measure);

inline constexpr std::size_t plottedPoints = 1000;

// A time given in seconds since 1970 as a date and time of day in UTC, "2026-12-07 13:30 UTC".
std::string utcTimeText(std::int64_t seconds);
