#include "tools/common/page_charts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "base/time_texts.h"
#include "results/record_board_names.h"
#include "tools/common/svg_drawing.h"
#include "tools/common/text_joining.h"

namespace {

constexpr int chartWidth = 540;  // two side by side in a window 1200 pixels wide
constexpr int marginLeft = 64;   // tick labels and the title of the value axis
constexpr int marginRight = 18;
constexpr int marginTop = 14;
constexpr int marginBottom = 46;  // tick labels and the title of the time or score axis
constexpr int plotWidth = chartWidth - marginLeft - marginRight;

// A count in at most four figures and a unit: 950, 12.3 K, 4.5 M, 120 G.
std::string compactCount(double value) {
    static constexpr const char* units[] = {"", " K", " M", " G", " T", " P", " E"};
    int unit = 0;
    while (std::fabs(value) >= 1000.0 && unit < 6) {
        value /= 1000.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3g%s", value, units[unit]);
    return text;
}

// The opening tag of a chart of `height` pixels, named for readers that do not see it.
std::string chartStart(int height, const std::string& name) {
    return joined("<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" width=\"", chartWidth,
                  "\" height=\"", height, "\" viewBox=\"0 0 ", chartWidth, " ", height,
                  "\" role=\"img\" aria-label=\"", xmlEscaped(name), "\">\n");
}

std::string label(double x, double y, const std::string& text, const char* kind = "tick") {
    return joined("<text class=\"", kind, "\" x=\"", svgNumber(x), "\" y=\"", svgNumber(y), "\">",
                  xmlEscaped(text), "</text>\n");
}

std::string line(const char* kind, double x1, double y1, double x2, double y2) {
    return joined("<line class=\"", kind, "\" x1=\"", svgNumber(x1), "\" y1=\"", svgNumber(y1),
                  "\" x2=\"", svgNumber(x2), "\" y2=\"", svgNumber(y2), "\"/>\n");
}

// The two axes and their titles around a plot area `plotHeight` high.
std::string axes(int plotHeight, const std::string& across, const std::string& up) {
    const int bottom = marginTop + plotHeight;
    std::string text = line("axis", marginLeft, marginTop, marginLeft, bottom);
    text += line("axis", marginLeft, bottom, marginLeft + plotWidth, bottom);
    text += label(marginLeft + plotWidth / 2.0, bottom + 38, across, "axis-title");
    const double middle = marginTop + plotHeight / 2.0;
    text += joined("<text class=\"axis-title\" x=\"16\" y=\"", svgNumber(middle),
                   "\" transform=\"rotate(-90 16 ", svgNumber(middle), ")\">", xmlEscaped(up),
                   "</text>\n");
    return text;
}

std::string note(int plotHeight, const std::string& text) {
    return label(marginLeft + plotWidth / 2.0, marginTop + plotHeight / 2.0, text, "chart-note");
}

// The smallest of 1, 2 and 5 times a power of ten that is at least `value` (above 0).
double roundStep(double value) {
    double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= value * (1 - 1e-9)) return factor * power;
    return 10.0 * power;
}

// A tick of the time axis, seconds since the first point: in the system's time text, "5 h 30'"
// or "1 d 12 h", or "0:00:30" when the ticks are less than a minute apart.
std::string clockText(std::int64_t seconds, std::int64_t step) {
    return step >= 60 ? durationText(seconds) : clockTimeText(seconds);
}

// At most `limit` of `points`, evenly spread, the first and the last always among them.
std::vector<HistoryPoint> thinned(const std::vector<HistoryPoint>& points, std::size_t limit) {
    if (points.size() <= limit) return points;
    std::vector<HistoryPoint> kept;
    for (std::size_t i = 0; i < limit; ++i)
        kept.push_back(points[i * (points.size() - 1) / (limit - 1)]);
    return kept;
}

// One bar of a bar chart: its label under the axis, its count, the data attributes of its rect
// and its tooltip.
struct ChartBar {
    std::string label;
    std::int64_t count;
    std::string data;
    std::string title;
};

// A bar chart of `bars`, in slots of equal width, on a log scale: one rect of class "bar" per
// bar with a count above 0, its count above it; `emptyNote` when no bar has one.
std::string barChart(const std::string& name, const std::vector<ChartBar>& bars,
                     const std::string& across, const std::string& up,
                     const std::string& emptyNote) {
    constexpr int height = 290;
    constexpr int plotHeight = height - marginTop - marginBottom;
    const double slot = static_cast<double>(plotWidth) / static_cast<double>(bars.size());
    std::string text = chartStart(height, name);
    std::int64_t most = 0;
    for (const ChartBar& bar : bars)
        most = std::max(most, bar.count);
    // Decades of the value axis: from 1 up to the first power of ten at or above the most.
    int decades = 1;
    for (double top = 10.0; top < static_cast<double>(most); top *= 10.0)
        ++decades;
    const int tickEvery = decades > 8 ? 2 : 1;
    const double bottom = marginTop + plotHeight;
    for (int d = 0; d <= decades; d += tickEvery) {
        const double y = bottom - plotHeight * d / static_cast<double>(decades);
        if (d > 0) text += line("grid", marginLeft, y, marginLeft + plotWidth, y);
        text += label(marginLeft - 8, y + 4, compactCount(std::pow(10.0, d)), "tick value-tick");
    }
    for (std::size_t k = 0; k < bars.size(); ++k) {
        const ChartBar& bar = bars[k];
        const double middle = marginLeft + (static_cast<double>(k) + 0.5) * slot;
        text += label(middle, bottom + 16, bar.label);
        if (bar.count <= 0) continue;
        // A count of 1 stands on the axis: it keeps a sliver so that it is seen.
        const double rise = std::max(3.0, plotHeight * std::log10(static_cast<double>(bar.count)) /
                                              static_cast<double>(decades));
        text += joined("<rect class=\"bar\" ", bar.data, " x=\"", svgNumber(middle - slot * 0.36),
                       "\" y=\"", svgNumber(bottom - rise), "\" width=\"", svgNumber(slot * 0.72),
                       "\" height=\"", svgNumber(rise), "\"><title>", xmlEscaped(bar.title),
                       "</title></rect>\n");
        text += label(middle, bottom - rise - 4, compactCount(static_cast<double>(bar.count)),
                      "bar-count");
    }
    if (most <= 0) text += note(plotHeight, emptyNote);
    text += axes(plotHeight, across, up);
    return text + "</svg>\n";
}

// The history plots: their height, and that of the plot area within.
constexpr int historyHeight = 250;
constexpr int historyPlotHeight = historyHeight - marginTop - marginBottom;

// The value axis of a history plot: its lowest and highest value and the step of its ticks.
struct ValueAxis {
    double low;
    double high;
    double step;
    // The height in the chart of `value`.
    double y(double value) const {
        return marginTop + historyPlotHeight - historyPlotHeight * (value - low) / (high - low);
    }
};

// The axis from 0 to above the highest of `values`, in whole steps of nodes per second.
ValueAxis rateAxis(const std::vector<double>& values) {
    const double high = std::max(0.0, *std::max_element(values.begin(), values.end()));
    const double step = std::max(1.0, roundStep(std::max(high, 1.0) / 4));
    return {0, std::max(std::ceil(high / step) * step, step), step};
}

// The axis around the scores reached, a score below the lowest to one above the highest (at
// most the perfect score), on round steps.
ValueAxis scoreAxis(const std::vector<double>& values) {
    const auto [least, most] = std::minmax_element(values.begin(), values.end());
    double low = *least - 1;
    const double high = std::min(*most + 1, static_cast<double>(perfectScore));
    const double step = roundStep(std::max(1.0, (high - low) / 5));
    low = std::floor(low / step) * step;
    return {low, std::max(std::ceil(high / step) * step, low + step), step};
}

// What a history plot shows of a point, and how: one row per HistoryMeasure, in its order.
struct PlotKind {
    const char* name;       // what the chart is, for readers that do not see it
    const char* up;         // the title of the value axis
    const char* emptyNote;  // the note of a plot without points
    bool (*plotted)(const HistoryPoint&);
    double (*value)(const HistoryPoint&);
    ValueAxis (*axisOf)(const std::vector<double>&);
    std::string (*tick)(double);                   // a tick's label on the value axis
    std::string (*endTitle)(const HistoryPoint&);  // the tooltip of the last point's value

    ValueAxis axis(const std::vector<HistoryPoint>& points) const {
        std::vector<double> values;
        for (const HistoryPoint& point : points)
            values.push_back(value(point));
        return axisOf(values);
    }
};

const PlotKind plotKinds[] = {
    {"node rate against time", "nodes per second, side by side", "no history yet",
     [](const HistoryPoint&) { return true; },
     [](const HistoryPoint& p) { return static_cast<double>(p.rate); }, rateAxis, compactCount,
     [](const HistoryPoint& p) { return compactCount(static_cast<double>(p.rate)) + " nodes/s"; }},
    // The best score is plotted from the first full board on.
    {"best score against time", "best score", "no full board yet",
     [](const HistoryPoint& p) { return p.best > 0; },
     [](const HistoryPoint& p) { return static_cast<double>(p.best); }, scoreAxis, svgNumber,
     [](const HistoryPoint& p) { return std::to_string(p.best); }},
};

// The ticks and grid lines of the value axis.
std::string valueTicks(const ValueAxis& values, const PlotKind& kind) {
    std::string text;
    for (double tick = values.low; tick <= values.high + values.step / 2; tick += values.step) {
        const double y = values.y(tick);
        if (tick > values.low) text += line("grid", marginLeft, y, marginLeft + plotWidth, y);
        text += label(marginLeft - 8, y + 4, kind.tick(tick), "tick value-tick");
    }
    return text;
}

// The time axis of a history plot: the first point's time, the span after it (at least a
// second) and the step of its ticks.
struct TimeAxis {
    std::int64_t start;
    std::int64_t span;
    std::int64_t step;
    // The place across the chart of `seconds` after the start.
    double xAfter(double seconds) const {
        return marginLeft + plotWidth * seconds / static_cast<double>(span);
    }
    double x(std::int64_t time) const {
        return xAfter(static_cast<double>(time) - static_cast<double>(start));
    }
};

// Seconds since the first point of `all` (in the order of time), ticks at a round step. The
// times come from a file and may lie anywhere in 64 bits: the span saturates rather than
// overflow, and past the longest round step the step grows with the span, so there are at most
// seven ticks whatever the span.
TimeAxis timeAxis(const std::vector<HistoryPoint>& all) {
    const std::int64_t start = all.front().time;
    std::int64_t span = 0;
    if (__builtin_sub_overflow(all.back().time, start, &span))
        span = std::numeric_limits<std::int64_t>::max();
    span = std::max<std::int64_t>(1, span);
    static constexpr std::int64_t steps[] = {10,    30,    60,     120,    300,     600,
                                             900,   1800,  3600,   7200,   10800,   21600,
                                             43200, 86400, 172800, 604800, 1209600, 2592000};
    constexpr std::int64_t longestStep = steps[std::size(steps) - 1];
    std::int64_t step = (span / 6 / longestStep + 1) * longestStep;
    for (const std::int64_t candidate : steps)
        if (span / candidate <= 6) {
            step = candidate;
            break;
        }
    return {start, span, step};
}

// The tick labels of the time axis.
std::string timeTicks(const TimeAxis& times) {
    std::string text;
    const double bottom = marginTop + historyPlotHeight;
    for (std::int64_t tick = 0, ticks = times.span / times.step; tick <= ticks; ++tick)
        text += label(times.xAfter(static_cast<double>(tick * times.step)), bottom + 16,
                      clockText(tick * times.step, times.step));
    return text;
}

// The line through `points` and the mark of the last, with its value and time as a tooltip.
std::string plotLine(const std::vector<HistoryPoint>& points, const ValueAxis& values,
                     const TimeAxis& times, const PlotKind& kind) {
    std::string vertices;
    for (const HistoryPoint& point : points) {
        if (!vertices.empty()) vertices += ' ';
        vertices += joined(svgNumber(std::round(times.x(point.time) * 10) / 10), ",",
                           svgNumber(std::round(values.y(kind.value(point)) * 10) / 10));
    }
    std::string text = joined("<polyline class=\"plot-line\" points=\"", vertices, "\"/>\n");
    const HistoryPoint& last = points.back();
    return text + joined("<circle class=\"plot-end\" cx=\"", svgNumber(times.x(last.time)),
                         "\" cy=\"", svgNumber(values.y(kind.value(last))), "\" r=\"3\"><title>",
                         kind.endTitle(last), " at ", utcTimeText(last.time),
                         "</title></circle>\n");
}

}  // namespace

std::string utcTimeText(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    // A time past the years the calendar functions handle is shown as its number.
    if (gmtime_r(&time, &parts) == nullptr) return std::to_string(seconds) + " s since 1970";
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &parts);
    return text;
}

std::string boardCountChart(const StatsRecord& record) {
    std::vector<ChartBar> bars;
    for (int k = 0; k < mismatchSlots; ++k) {
        const int score = perfectScore - (mismatchSlots - 1) + k;
        const std::int64_t count = record.histogram[perfectScore - score];
        bars.push_back(
            {std::to_string(score), count,
             joined("data-score=\"", score, "\" data-boards=\"", count, "\""),
             joined("score ", score, ": ", count, count == 1 ? " full board" : " full boards")});
    }
    return barChart("full boards per score, log scale", bars, "score", "full boards (log scale)",
                    "no full board yet");
}

std::string runDepthChart(const DepthBands& runs) {
    std::vector<ChartBar> bars;
    for (std::size_t band = 0; band < depthBandCount; ++band) {
        const std::string name = bandName(band);
        bars.push_back(
            {name, runs[band], joined("data-band=\"", name, "\" data-runs=\"", runs[band], "\""),
             joined("deepest depth ", name, ": ", runs[band], runs[band] == 1 ? " run" : " runs")});
    }
    return barChart("runs by deepest depth, log scale", bars, "deepest depth", "runs (log scale)",
                    "no runs counted yet");
}

std::string historyPlot(const std::vector<HistoryPoint>& history, HistoryMeasure measure) {
    const PlotKind& kind = plotKinds[static_cast<std::size_t>(measure)];
    // Both plots share the time axis of the whole history, in the order of time (a clock set
    // back leaves lines out of order).
    std::vector<HistoryPoint> all = history;
    std::stable_sort(all.begin(), all.end(),
                     [](const HistoryPoint& a, const HistoryPoint& b) { return a.time < b.time; });
    std::vector<HistoryPoint> points;
    for (const HistoryPoint& point : all)
        if (kind.plotted(point)) points.push_back(point);
    points = thinned(points, plottedPoints);

    std::string text = chartStart(historyHeight, kind.name);
    const std::string across = all.empty() ? "time" : "time since " + utcTimeText(all.front().time);
    if (points.empty()) {
        text += note(historyPlotHeight, kind.emptyNote);
        return text + axes(historyPlotHeight, across, kind.up) + "</svg>\n";
    }
    const ValueAxis values = kind.axis(points);
    text += valueTicks(values, kind);
    const TimeAxis times = timeAxis(all);
    text += timeTicks(times);
    text += plotLine(points, values, times, kind);
    text += axes(historyPlotHeight, across, kind.up);
    return text + "</svg>\n";
}
