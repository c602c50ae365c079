#include "stats/statistics_report.h"

#include <cstdio>
#include <string>

#include "base/console.h"
#include "base/time_texts.h"
#include "results/record_board_names.h"
#include "results/statistics_records.h"
#include "results/tally.h"
#include "stats/statistics_table.h"

namespace {

long long rate(std::int64_t nodes, std::int64_t secs) {
    return secs > 0 ? nodes / secs : 0;
}

// A gain as the report shows it: "+" and the number, however it is signed.
std::string gainText(long long gain) {
    std::string text(1, '+');
    text += std::to_string(gain);
    return text;
}

// A row of the report: a text wider than its field (totals near the 64-bit limits) becomes a
// field of '*', as in tessaly-stats, so that no line is ever wider than the table.
void printRow(const std::string& label, const TableCells& cells) {
    printOut("%s", tableRow(label, cells).c_str());
}

}  // namespace

void printStatisticsReport() {
    const StatsRecord& start = statistics.sinceStart;
    const StatsRecord& total = statistics.grandTotal;
    StatsRecord& previous = statistics.lastReport;
    std::string gain;
    if (start.nodes == 0)
        clearRecord(previous);
    else
        gain = gainText((start.nodes - previous.nodes) / nodesPerG) + " G";
    printOut("\n");
    printRow("", {"Since previous", "Since start", "Grand total"});
    printOut("%s", tableRule().c_str());
    printRow("Nodes", {gain, nodesCell(start.nodes), nodesCell(total.nodes)});
    printRow("Time", {durationText(start.secs - previous.secs), durationText(start.secs),
                      durationText(total.secs)});
    const long long previousRate =
        start.secs > 0 ? rate(start.nodes - previous.nodes, start.secs - previous.secs) : 0;
    printRow("Nodes/sec", {rateCell(previousRate), rateCell(rate(start.nodes, start.secs)),
                           rateCell(rate(total.nodes, total.secs))});
    printRow("Best", {start.best < previous.best ? "IMPROVED!" : "", scoreCell(start.best),
                      scoreCell(total.best)});
    printRow("Grade", {"", gradeText[start.best], gradeText[total.best]});
    for (int i = 0; i < mismatchSlots; ++i) {
        if (total.histogram[i] <= 0) continue;
        const long long d = start.histogram[i] - previous.histogram[i];
        printRow(std::to_string(scoreOf(i)),
                 {d != 0 ? gainText(d) : "", std::to_string(start.histogram[i]),
                  std::to_string(total.histogram[i])});
    }
    printOut("%s", tableRule().c_str());
    previous = start;
    closeTallyLine();
}
