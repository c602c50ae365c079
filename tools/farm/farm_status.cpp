#include "tools/farm/farm_status.h"

#include <cstdio>
#include <utility>

#include "base/time_texts.h"
#include "results/record_board_names.h"
#include "tools/common/deepest_boards.h"
#include "tools/common/directory_reading.h"
#include "tools/common/statistics_merge.h"

FarmTotals readFarmTotals(const std::vector<std::string>& directories,
                          const std::string& pieceFile) {
    std::vector<DirectoryStatistics> read;
    std::vector<StatsRecord> records;
    for (const std::string& directory : directories) {
        DirectoryStatistics statistics;
        if (readDirectoryStatistics(directory, statistics) != DirectoryReading::read) continue;
        records.push_back(statistics.record);
        read.push_back(std::move(statistics));
    }
    const StatsRecord sum = mergeRecords(records);
    FarmTotals totals;
    totals.filesRead = static_cast<int>(records.size());
    totals.nodes = sum.nodes;
    totals.sideBySide = sideBySideRate(records);
    totals.best = sum.best;
    for (const std::int64_t count : sum.histogram)
        if (count > 0) totals.fullBoards = addClamped(totals.fullBoards, count);
    totals.deepest = readRunDepths(read, pieceFile).deepest;
    return totals;
}

std::string shortCount(double value) {
    static constexpr const char* units[] = {"", " K", " M", " G", " T", " P"};
    int unit = 0;
    while (value >= 1000.0 && unit < 5) {
        value /= 1000.0;
        ++unit;
    }
    char text[32];
    if (unit == 0)
        std::snprintf(text, sizeof text, "%.0f", value);
    else
        std::snprintf(text, sizeof text, "%.*f%s",
                      value < 10    ? 2
                      : value < 100 ? 1
                                    : 0,
                      value, units[unit]);
    return text;
}

std::string farmStatusLine(std::int64_t seconds, int alive, int instances, const FarmTotals& totals,
                           double rate) {
    char text[200];
    char bestText[16] = "-";
    if (totals.best < mismatchSlots)
        std::snprintf(bestText, sizeof bestText, "%d", scoreOf(totals.best));
    std::snprintf(text, sizeof text,
                  "%s  %d/%d alive  %s nodes  %s nodes/s  best %s  %lld full boards",
                  clockTimeText(seconds).c_str(), alive, instances,
                  shortCount(static_cast<double>(totals.nodes)).c_str(), shortCount(rate).c_str(),
                  bestText, static_cast<long long>(totals.fullBoards));
    if (totals.deepest < 0) return text;
    return std::string(text) + "  deepest " + std::to_string(totals.deepest);
}
