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

#include "results/record_board_names.h"
#include "base/time_texts.h"
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
    if (step >= 60) return durationText(seconds);
    char text[40];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
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
    constexpr int height = 250;
    constexpr int plotHeight = height - marginTop - marginBottom;
    const bool rate = measure == HistoryMeasure::nodeRate;
    // Both plots share the time axis of the whole history, in the order of time (a clock set
    // back leaves lines out of order).
    std::vector<HistoryPoint> all = history;
    std::stable_sort(all.begin(), all.end(),
                     [](const HistoryPoint& a, const HistoryPoint& b) { return a.time < b.time; });
    // The best score is plotted from the first full board on.
    std::vector<HistoryPoint> points;
    for (const HistoryPoint& point : all)
        if (rate || point.best > 0) points.push_back(point);
    points = thinned(points, plottedPoints);
    const auto valueOf = [rate](const HistoryPoint& p) {
        return static_cast<double>(rate ? p.rate : p.best);
    };

    std::string text =
        chartStart(height, rate ? "node rate against time" : "best score against time");
    const std::string across = all.empty() ? "time" : "time since " + utcTimeText(all.front().time);
    const std::string up = rate ? "nodes per second, side by side" : "best score";
    if (points.empty()) {
        text += note(plotHeight, rate ? "no history yet" : "no full board yet");
        return text + axes(plotHeight, across, up) + "</svg>\n";
    }

    // The value axis: from 0 for the rate, around the scores reached for the best score.
    double low = 0;
    double high = 0;
    for (const HistoryPoint& point : points)
        high = std::max(high, valueOf(point));
    double step = std::max(1.0, roundStep(std::max(high, 1.0) / 4));  // whole nodes per second
    if (!rate) {
        low = high;
        for (const HistoryPoint& point : points)
            low = std::min(low, valueOf(point));
        low -= 1;
        high = std::min(high + 1, static_cast<double>(perfectScore));
        step = roundStep(std::max(1.0, (high - low) / 5));
        low = std::floor(low / step) * step;
    }
    high = std::max(std::ceil(high / step) * step, low + step);
    const double bottom = marginTop + plotHeight;
    const auto yOf = [&](double value) {
        return bottom - plotHeight * (value - low) / (high - low);
    };
    for (double tick = low; tick <= high + step / 2; tick += step) {
        const double y = yOf(tick);
        if (tick > low) text += line("grid", marginLeft, y, marginLeft + plotWidth, y);
        text += label(marginLeft - 8, y + 4, rate ? compactCount(tick) : svgNumber(tick),
                      "tick value-tick");
    }

    // The time axis: seconds since the first point, ticks at a round step. The times come from
    // a file and may lie anywhere in 64 bits: the span saturates rather than overflow, and
    // past the longest round step the step grows with the span, so there are at most seven
    // ticks whatever the span.
    const std::int64_t start = all.front().time;
    std::int64_t span = 0;
    if (__builtin_sub_overflow(all.back().time, start, &span))
        span = std::numeric_limits<std::int64_t>::max();
    span = std::max<std::int64_t>(1, span);
    static constexpr std::int64_t steps[] = {10,    30,    60,     120,    300,     600,
                                             900,   1800,  3600,   7200,   10800,   21600,
                                             43200, 86400, 172800, 604800, 1209600, 2592000};
    constexpr std::int64_t longestStep = steps[std::size(steps) - 1];
    std::int64_t timeStep = (span / 6 / longestStep + 1) * longestStep;
    for (const std::int64_t candidate : steps)
        if (span / candidate <= 6) {
            timeStep = candidate;
            break;
        }
    const auto xAfter = [&](double seconds) {
        return marginLeft + plotWidth * seconds / static_cast<double>(span);
    };
    const auto xOf = [&](std::int64_t time) {
        return xAfter(static_cast<double>(time) - static_cast<double>(start));
    };
    for (std::int64_t tick = 0, ticks = span / timeStep; tick <= ticks; ++tick)
        text += label(xAfter(static_cast<double>(tick * timeStep)), bottom + 16,
                      clockText(tick * timeStep, timeStep));

    std::string vertices;
    for (const HistoryPoint& point : points) {
        if (!vertices.empty()) vertices += ' ';
        vertices += joined(svgNumber(std::round(xOf(point.time) * 10) / 10), ",",
                           svgNumber(std::round(yOf(valueOf(point)) * 10) / 10));
    }
    text += joined("<polyline class=\"plot-line\" points=\"", vertices, "\"/>\n");
    const HistoryPoint& last = points.back();
    text += joined("<circle class=\"plot-end\" cx=\"", svgNumber(xOf(last.time)), "\" cy=\"",
                   svgNumber(yOf(valueOf(last))), "\" r=\"3\"><title>",
                   rate ? compactCount(valueOf(last)) + " nodes/s" : std::to_string(last.best),
                   " at ", utcTimeText(last.time), "</title></circle>\n");
    text += axes(plotHeight, across, up);
    return text + "</svg>\n";
}
