#include "tools/common/statistics_tables.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "base/formatted_text.h"
#include "base/printable_text.h"
#include "base/time_texts.h"
#include "results/record_board_names.h"
#include "stats/statistics_report.h"
#include "tools/common/statistics_merge.h"

namespace {

constexpr std::string_view ellipsis = "...";

// A record's best, with a value outside 0 to 20 taken as none.
std::int32_t bestOf(const StatsRecord& record) {
    return record.best >= 0 && record.best < mismatchSlots ? record.best : mismatchSlots;
}

// The mismatch counts with boards in any of the records.
std::array<bool, mismatchSlots> shownCounts(const std::vector<DirectoryStatistics>& directories) {
    std::array<bool, mismatchSlots> shown{};
    for (const DirectoryStatistics& directory : directories)
        for (int i = 0; i < mismatchSlots; ++i)
            if (directory.record.histogram[i] > 0) shown[i] = true;
    return shown;
}

// One table of up to three columns: their heads and records; missing columns stay blank.
// `sideBySide`, when given, is the cell of a Side by side row in the first column.
std::string table(const TableCells& heads, const std::vector<const StatsRecord*>& records,
                  const std::array<bool, mismatchSlots>& shown, NodeFigures figures,
                  const std::string* sideBySide) {
    auto cells = [&](auto cellOf) {
        TableCells values;
        for (std::size_t c = 0; c < records.size(); ++c)
            values[c] = cellOf(*records[c]);
        return values;
    };
    std::string text = "\n";
    text += tableRow("", heads);
    text += tableRule();
    text +=
        tableRow("Nodes", cells([&](const StatsRecord& r) { return nodesCell(r.nodes, figures); }));
    text += tableRow("Time", cells([](const StatsRecord& r) { return durationText(r.secs); }));
    text +=
        tableRow("Nodes/sec", cells([](const StatsRecord& r) { return rateCell(nodeRate(r)); }));
    if (sideBySide != nullptr) text += tableRow("Side by side", TableCells{*sideBySide, "", ""});
    text += tableRow("Best", cells([](const StatsRecord& r) { return scoreCell(r.best); }));
    text += tableRow("Grade", cells([](const StatsRecord& r) { return gradeCell(r); }));
    for (int i = 0; i < mismatchSlots; ++i) {
        if (!shown[i]) continue;
        text += tableRow(printed("%d", scoreOf(i)), cells([i](const StatsRecord& r) {
                             return printed("%lld", static_cast<long long>(r.histogram[i]));
                         }));
    }
    text += tableRule();
    return text;
}

}  // namespace

std::string gradeCell(const StatsRecord& record) {
    return std::string(std::string_view(gradeText[bestOf(record)]).substr(0, fieldWidth));
}

std::string columnHead(const std::string& directory) {
    const std::string name = printableText(directory);
    if (name.size() <= fieldWidth) return name;
    std::string head(ellipsis);
    head += name.substr(name.size() - (fieldWidth - ellipsis.size()));
    return head;
}

std::string statisticsTables(const std::vector<DirectoryStatistics>& directories,
                             NodeFigures figures) {
    const std::array<bool, mismatchSlots> shown = shownCounts(directories);
    std::string text;
    for (std::size_t first = 0; first < directories.size(); first += columnsPerTable) {
        TableCells heads;
        std::vector<const StatsRecord*> records;
        for (std::size_t c = 0; c < columnsPerTable && first + c < directories.size(); ++c) {
            heads[c] = columnHead(directories[first + c].name);
            records.push_back(&directories[first + c].record);
        }
        text += table(heads, records, shown, figures, nullptr);
    }
    std::vector<StatsRecord> all;
    for (const DirectoryStatistics& directory : directories)
        all.push_back(directory.record);
    const StatsRecord sum = mergeRecords(all);
    const std::string together = rateCell(sideBySideRate(all));
    text +=
        table(TableCells{printed("All %lld", static_cast<long long>(directories.size())), "", ""},
              {&sum}, shown, figures, &together);
    return text;
}

std::vector<Figure> mergedFigures(const std::vector<DirectoryStatistics>& directories,
                                  NodeFigures figures) {
    std::vector<StatsRecord> all;
    for (const DirectoryStatistics& directory : directories)
        all.push_back(directory.record);
    const StatsRecord sum = mergeRecords(all);
    return {{"Nodes", nodesCell(sum.nodes, figures)},
            {"Time", durationText(sum.secs)},
            {"Nodes/sec", rateCell(nodeRate(sum))},
            {"Side by side", rateCell(sideBySideRate(all))},
            {"Best", scoreCell(sum.best)},
            {"Grade", gradeCell(sum)}};
}
