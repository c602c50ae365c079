// Fuzz target: a farm's history.csv. Whatever it holds, its points read back from their own
// lines unchanged, the history kept of them stays within its bound with the latest point last,
// and both plots of the statistics page stay small (a few hundred vertices and ticks, whatever
// the times and values) and are made quickly.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "tools/common/page_charts.h"
#include "tools/common/search_history.h"

namespace {

// Far more than a plot of plottedPoints vertices and a handful of ticks needs.
constexpr std::size_t largestPlot = 200'000;

bool samePoint(const HistoryPoint& a, const HistoryPoint& b) {
    return a.time == b.time && a.nodes == b.nodes && a.rate == b.rate && a.best == b.best &&
           a.fullBoards == b.fullBoards;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<HistoryPoint> points =
        historyPoints(std::string(reinterpret_cast<const char*>(data), size));
    for (const HistoryPoint& point : points) {
        const std::vector<HistoryPoint> again = historyPoints(historyLine(point));
        require(again.size() == 1 && samePoint(again[0], point), "a point's line reads back");
    }
    HistoryRecord history;
    for (const HistoryPoint& point : points)
        addHistoryPoint(history, point);
    require(history.points.size() <= keptHistoryPoints + 1, "a history of bounded size");
    require(points.empty() || samePoint(history.points.back(), points.back()),
            "the latest point kept");
    for (const HistoryMeasure measure : {HistoryMeasure::nodeRate, HistoryMeasure::bestScore})
        require(historyPlot(history.points, measure).size() < largestPlot,
                "a plot of bounded size");
    return 0;
}
