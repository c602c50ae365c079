#include "tools/farm/farm_page.h"

#include "base/output_files.h"

#include "results/record_board_names.h"
#include "results/statistics_records.h"
#include "tools/common/directory_reading.h"
#include "tools/common/status_page.h"

FarmRecord startFarmRecord(const std::string& directory, const std::string& pagePath,
                           const std::vector<std::string>& inputs) {
    FarmRecord record;
    record.historyPath = pathIn(directory, historyFileName);
    record.pagePath = pagePath;
    record.inputs = inputs;
    if (!pagePath.empty()) {
        HistoryReading reading = readHistory(record.historyPath);
        record.history = std::move(reading.history);
        for (const std::string& problem : reading.problems)
            record.historyProblems.push_back(record.historyPath + " " + problem);
    }
    return record;
}

HistoryPoint historyPoint(std::int64_t time, const FarmTotals& totals) {
    HistoryPoint point;
    point.time = time;
    point.nodes = totals.nodes;
    point.rate = totals.sideBySide;
    point.best = totals.best < mismatchSlots ? scoreOf(totals.best) : 0;
    point.fullBoards = totals.fullBoards;
    return point;
}

std::string writeFarmPage(const FarmRecord& record, const std::vector<std::string>& directories) {
    const ReadDirectories read = readDirectories(directories);
    const std::string& pieceFile = record.inputs.front();
    PageContent content = pageContent(read, NodeFigures::billions,
                                      bestBoardPicture(read.boards, pieceFile, namesOf(read.read)),
                                      readRunDepths(read.read, pieceFile));
    content.history = record.history;
    content.historyFile = record.historyPath;
    content.writtenBy = "tessaly-farm";
    content.reloadSeconds = pageReloadSeconds;
    std::vector<std::string> inputs = pageInputs(content);
    inputs.insert(inputs.end(), record.inputs.begin(), record.inputs.end());
    return writeOutputFile(record.pagePath, statusPage(content), inputs);
}

std::vector<std::string> recordRefresh(FarmRecord& record,
                                       const std::vector<std::string>& directories,
                                       const HistoryPoint& point) {
    std::vector<std::string> messages;
    const std::string fault = appendHistory(record.historyPath, point);
    if (fault != record.historyFault)
        messages.push_back(fault.empty() ? record.historyPath + " is written again"
                                         : "could not write to " + record.historyPath + " (" +
                                               fault + "); trying again at every save");
    record.historyFault = fault;
    if (!record.pagePath.empty()) {
        addHistoryPoint(record.history, point);
        const std::string problem = writeFarmPage(record, directories);
        if (!problem.empty() && problem != record.lastPageProblem) messages.push_back(problem);
        record.lastPageProblem = problem;
    }
    return messages;
}
