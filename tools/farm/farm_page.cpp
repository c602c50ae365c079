#include "farm/farm_page.h"

#include "stats/directory_reading.h"
#include "stats/file_replacing.h"
#include "stats/statistics_records.h"
#include "stats/status_page.h"

FarmRecord startFarmRecord(const std::string& directory, const std::string& pagePath,
                           const std::string& pieceFile) {
    FarmRecord record;
    record.historyPath = pathIn(directory, "history.csv");
    record.pagePath = pagePath;
    record.pieceFile = pieceFile;
    if (!pagePath.empty()) record.history = readHistory(record.historyPath);
    return record;
}

HistoryPoint historyPoint(std::int64_t time, const FarmTotals& totals) {
    HistoryPoint point;
    point.time = time;
    point.nodes = totals.nodes;
    point.rate = totals.sideBySide;
    point.best = totals.best < mismatchSlots ? 480 - totals.best : 0;
    point.fullBoards = totals.fullBoards;
    return point;
}

std::string writeFarmPage(const FarmRecord& record, const std::vector<std::string>& directories) {
    PageContent content =
        pageContent(readDirectories(directories), NodeFigures::billions, record.pieceFile);
    content.history = record.history;
    content.historyFile = record.historyPath;
    content.writtenBy = "tessaly-farm";
    content.reloadSeconds = pageReloadSeconds;
    return replaceFile(record.pagePath, statusPage(content));
}

std::string recordRefresh(FarmRecord& record, const std::vector<std::string>& directories,
                          const HistoryPoint& point) {
    std::string problem = appendHistory(record.historyPath, point);
    if (!record.pagePath.empty()) {
        record.history.push_back(point);
        const std::string pageProblem = writeFarmPage(record, directories);
        if (problem.empty()) problem = pageProblem;
    }
    if (problem == record.lastProblem) return "";
    record.lastProblem = problem;
    return problem;
}
