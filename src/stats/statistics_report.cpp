#include "stats/statistics_report.h"

#include <cstdio>
#include <string>

#include "base/console.h"
#include "base/time_texts.h"
#include "results/record_board_names.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "results/tally.h"
#include "stats/statistics_table.h"

namespace {

// A gain as the report shows it: "+" and the number, however it is signed.
std::string gainText(long long gain) {
    std::string text(1, '+');
    text += std::to_string(gain);
    return text;
}

// The cell of the column since the previous report in the row of `figure`: what changed from
// `previous` to `start`.
std::string changeCell(RecordFigure figure, const StatsRecord& start, const StatsRecord& previous) {
    switch (figure) {
        case RecordFigure::nodes:
            return start.nodes == 0 ? ""
                                    : gainText((start.nodes - previous.nodes) / nodesPerG) + " G";
        case RecordFigure::time:
            return durationText(start.secs - previous.secs);
        case RecordFigure::rate:
            return rateCell(start.secs > 0
                                ? nodeRate(start.nodes - previous.nodes, start.secs - previous.secs)
                                : 0);
        case RecordFigure::best:
            return start.best < previous.best ? "IMPROVED!" : "";
        case RecordFigure::grade:
            return "";
    }
    return {};
}

// A row of the report: a text wider than its field (totals near the 64-bit limits) becomes a
// field of '*', as in tessaly-stats, so that no line is ever wider than the table.
void printRow(const std::string& label, const TableCells& cells) {
    printOut("%s", tableRow(label, cells).c_str());
}

}  // namespace

void printStatisticsReport() {
    const StatsRecord& start = results.statistics.sinceStart;
    const StatsRecord& total = results.statistics.grandTotal;
    StatsRecord& previous = results.statistics.lastReport;
    if (start.nodes == 0) clearRecord(previous);
    printOut("\n");
    printRow("", {"Since previous", "Since start", "Grand total"});
    printOut("%s", tableRule().c_str());
    for (const RecordRow& row : recordRows)
        printRow(row.label, {changeCell(row.figure, start, previous), recordCell(start, row.figure),
                             recordCell(total, row.figure)});
    for (int i = 0; i < mismatchSlots; ++i) {
        if (total.histogram[i] <= 0) continue;
        const long long d = start.histogram[i] - previous.histogram[i];
        printRow(scoreRowLabel(i), {d != 0 ? gainText(d) : "", countCell(start.histogram[i]),
                                    countCell(total.histogram[i])});
    }
    printOut("%s", tableRule().c_str());
    previous = start;
    closeTallyLine();
}
