#include "tools/common/statistics_tables.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "base/formatted_text.h"
#include "base/printable_text.h"
#include "tools/common/statistics_merge.h"

namespace {

constexpr std::string_view ellipsis = "...";
// The row of the totals' rate of all directories running at once, after the node rates.
constexpr const char* sideBySideLabel = "Side by side";

// The mismatch counts with boards in any of the records.
std::array<bool, mismatchSlots> shownCounts(const std::vector<DirectoryStatistics>& directories) {
    std::array<bool, mismatchSlots> shown{};
    for (const DirectoryStatistics& directory : directories)
        for (int i = 0; i < mismatchSlots; ++i)
            if (directory.record.histogram[i] > 0) shown[i] = true;
    return shown;
}

// The cell of `record` in the row of `figure` as tessaly-stats and the page show it: the
// solver's, but for the grade, which is cut to its field (gradeCell) rather than shown as stars.
std::string shownCell(const StatsRecord& record, RecordFigure figure, NodeFigures figures) {
    return figure == RecordFigure::grade ? gradeCell(record) : recordCell(record, figure, figures);
}

// One table of up to three columns: their heads and records; missing columns stay blank.
// `sideBySide`, when given, is the cell of a Side by side row in the first column, after the
// node rates.
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
    for (const RecordRow& row : recordRows) {
        text += tableRow(row.label, cells([&](const StatsRecord& r) {
                             return shownCell(r, row.figure, figures);
                         }));
        if (row.figure == RecordFigure::rate && sideBySide != nullptr)
            text += tableRow(sideBySideLabel, TableCells{*sideBySide, "", ""});
    }
    for (int i = 0; i < mismatchSlots; ++i) {
        if (!shown[i]) continue;
        text += tableRow(scoreRowLabel(i),
                         cells([i](const StatsRecord& r) { return countCell(r.histogram[i]); }));
    }
    text += tableRule();
    return text;
}

}  // namespace

std::string gradeCell(const StatsRecord& record) {
    return recordCell(record, RecordFigure::grade).substr(0, fieldWidth);
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
    std::vector<Figure> merged;
    for (const RecordRow& row : recordRows) {
        merged.push_back({row.label, shownCell(sum, row.figure, figures)});
        if (row.figure == RecordFigure::rate)
            merged.push_back({sideBySideLabel, rateCell(sideBySideRate(all))});
    }
    return merged;
}
