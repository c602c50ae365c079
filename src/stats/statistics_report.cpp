#include "stats/statistics_report.h"

#include <cstdio>
#include <string>

#include "base/console.h"
#include "results/tally.h"
#include "stats/statistics_records.h"
#include "stats/time_texts.h"

namespace {

constexpr long long nodesPerG = 1'000'000'000;
constexpr const char* rule = "---------------------------------------------------------------\n";

long long rate(std::int64_t nodes, std::int64_t secs) {
    return secs > 0 ? nodes / secs : 0;
}

int shownScore(std::int32_t best) {
    return best >= mismatchSlots ? 0 : 480 - best;
}

}  // namespace

void printStatisticsReport() {
    char gain[32] = "";
    if (statistics.sinceStart.nodes == 0)
        clearRecord(statistics.lastReport);
    else
        std::snprintf(gain, sizeof gain, "+%lld G",
                      static_cast<long long>(
                          (statistics.sinceStart.nodes - statistics.lastReport.nodes) / nodesPerG));
    printOut("\n%15s %15s %15s %15s\n", "", "Since previous", "Since start", "Grand total");
    printOut("%s", rule);
    printOut("%15s %15s %13lld G %13lld G\n", "Nodes", gain,
             static_cast<long long>(statistics.sinceStart.nodes / nodesPerG),
             static_cast<long long>(statistics.grandTotal.nodes / nodesPerG));
    const std::string previousTime =
        durationText(statistics.sinceStart.secs - statistics.lastReport.secs);
    const std::string startTime = durationText(statistics.sinceStart.secs);
    const std::string totalTime = durationText(statistics.grandTotal.secs);
    printOut("%15s %15s %15s %15s\n", "Time", previousTime.c_str(), startTime.c_str(),
             totalTime.c_str());
    const long long sinceStartRate = rate(statistics.sinceStart.nodes, statistics.sinceStart.secs);
    const long long previousRate =
        statistics.sinceStart.secs > 0
            ? rate(statistics.sinceStart.nodes - statistics.lastReport.nodes,
                   statistics.sinceStart.secs - statistics.lastReport.secs)
            : 0;
    const long long totalRate = rate(statistics.grandTotal.nodes, statistics.grandTotal.secs);
    printOut("%15s %13lld K %13lld K %13lld K\n", "Nodes/sec", previousRate / 1000,
             sinceStartRate / 1000, totalRate / 1000);
    printOut("%15s %15s %15d %15d\n", "Best",
             statistics.sinceStart.best < statistics.lastReport.best ? "IMPROVED!" : "",
             shownScore(statistics.sinceStart.best), shownScore(statistics.grandTotal.best));
    printOut("%15s %15s %15s %15s\n", "Grade", "", gradeText[statistics.sinceStart.best],
             gradeText[statistics.grandTotal.best]);
    for (int i = 0; i < mismatchSlots; ++i) {
        if (statistics.grandTotal.histogram[i] <= 0) continue;
        const long long d = statistics.sinceStart.histogram[i] - statistics.lastReport.histogram[i];
        char found[32] = "";
        if (d != 0) std::snprintf(found, sizeof found, "+%lld", d);
        printOut("%15d %15s %15lld %15lld\n", 480 - i, found,
                 static_cast<long long>(statistics.sinceStart.histogram[i]),
                 static_cast<long long>(statistics.grandTotal.histogram[i]));
    }
    printOut("%s", rule);
    statistics.lastReport = statistics.sinceStart;
    tallyLine.lastShownMismatch = 500;
    tallyLine.repeatCount = 0;
}
