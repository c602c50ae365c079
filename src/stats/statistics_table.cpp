#include "stats/statistics_table.h"

#include "base/formatted_text.h"
#include "base/time_texts.h"
#include "results/record_board_names.h"
#include "stats/statistics_report.h"

std::string field(const std::string& text) {
    if (text.size() > fieldWidth) return std::string(fieldWidth, '*');
    return std::string(fieldWidth - text.size(), ' ') + text;
}

std::string tableRow(const std::string& label, const TableCells& cells) {
    std::string line = field(label);
    for (const std::string& cell : cells) {
        line += ' ';
        line += field(cell);
    }
    line += '\n';
    return line;
}

std::string tableRule() {
    return std::string(fieldWidth * (columnsPerTable + 1) + columnsPerTable, '-') + "\n";
}

std::string nodesCell(std::int64_t nodes, NodeFigures figures) {
    if (figures == NodeFigures::exact) return printed("%lld", static_cast<long long>(nodes));
    return printed("%lld G", static_cast<long long>(nodes / nodesPerG));
}

std::string rateCell(std::int64_t rate) {
    return printed("%lld K", static_cast<long long>(rate / 1000));
}

std::string scoreCell(std::int32_t best) {
    return printed("%d", best >= 0 && best < mismatchSlots ? scoreOf(best) : 0);
}

std::int64_t nodeRate(std::int64_t nodes, std::int64_t secs) {
    return secs > 0 ? nodes / secs : 0;
}

std::int64_t nodeRate(const StatsRecord& record) {
    return nodeRate(record.nodes, record.secs);
}

std::string recordCell(const StatsRecord& record, RecordFigure figure, NodeFigures figures) {
    switch (figure) {
        case RecordFigure::nodes:
            return nodesCell(record.nodes, figures);
        case RecordFigure::time:
            return durationText(record.secs);
        case RecordFigure::rate:
            return rateCell(nodeRate(record));
        case RecordFigure::best:
            return scoreCell(record.best);
        case RecordFigure::grade:
            return gradeText[record.best >= 0 && record.best < mismatchSlots ? record.best
                                                                             : mismatchSlots];
    }
    return {};
}

std::string scoreRowLabel(int mismatches) {
    return std::to_string(scoreOf(mismatches));
}

std::string countCell(std::int64_t count) {
    return std::to_string(count);
}
