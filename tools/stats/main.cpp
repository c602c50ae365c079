// tessaly-stats: the statistics and record boards of several solver directories, added up.
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/option_table.h"
#include "base/output_files.h"
#include "base/printable_text.h"
#include "base/program_info.h"
#include "tools/common/board_picture.h"
#include "tools/common/deepest_boards.h"
#include "tools/common/directory_reading.h"
#include "tools/common/record_board_list.h"
#include "tools/common/statistics_tables.h"
#include "tools/common/status_page.h"

namespace {

constexpr int someRead = 0;
constexpr int noneRead = runFaultStatus;
constexpr std::array<const char*, 1> forms{
    "[--exact] [--pieces FILE] [--html FILE [--history FILE]] DIR..."};
constexpr std::array<OptionRow, 4> optionTable{{
    flagOption("--exact", "show node counts in full instead of in billions (G)"),
    pathOption("--html", "FILE", "also write the statistics page FILE"),
    pathOption("--history", "FILE", "the history the page plots (default: history.csv beside DIR)"),
    pathOption("--pieces", "FILE",
               "the piece file of the boards checked (default: found near DIR)"),
}};
constexpr CommandLine commandLine{"tessaly-stats", forms, nullptr, optionTable};

void writeOut(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const GivenOptions given = readCommandLine(commandLine, argc, argv);
    const NodeFigures figures = given.has("--exact") ? NodeFigures::exact : NodeFigures::billions;
    // The page, its history and the piece file of the boards, each given as "--option FILE".
    const std::optional<std::string> pagePath = given.text("--html");
    const std::optional<std::string> historyPath = given.text("--history");
    const std::optional<std::string> piecePath = given.text("--pieces");
    const std::vector<std::string>& directories = given.operands;
    if (directories.empty()) usageFault(commandLine, "no directory given");
    if (!pagePath && historyPath)
        usageFault(commandLine, "--history is for the page: give --html FILE too");

    const ReadDirectories read = readDirectories(directories);
    for (const std::string& problem : read.problems)
        std::fprintf(stderr, "tessaly-stats: %s\n", printableText(problem).c_str());
    if (read.read.empty()) {
        std::fputs("tessaly-stats: no statistics file could be read\n", stderr);
        return noneRead;
    }
    // The boards are checked for the listing as for the page: the best that is what its name
    // says, and the better ones passed over.
    BoardPicture picture =
        bestBoardPicture(read.boards, piecePath.value_or(""), namesOf(read.read));
    RunDepths depths = readRunDepths(read.read, piecePath.value_or(""));
    for (const std::string& problem : depths.problems)
        std::fprintf(stderr, "tessaly-stats: %s\n", printableText(problem).c_str());
    std::string text = statisticsTables(read.read, figures);
    text += '\n';
    text += recordBoardListText(read.boards, listedRecordBoards);
    text += passedOverText(picture);
    text += '\n';
    text += runDepthsText(depths);
    writeOut(text);
    if (pagePath) {
        PageContent content = pageContent(read, figures, std::move(picture), std::move(depths));
        content.writtenBy = "tessaly-stats";
        content.historyFile = historyPath ? *historyPath : historyBeside(read.read);
        if (!content.historyFile.empty()) {
            const HistoryReading history = readHistory(content.historyFile);
            for (const std::string& problem : history.problems)
                std::fprintf(stderr, "tessaly-stats: %s\n",
                             printableText(content.historyFile + " " + problem).c_str());
            content.history = history.history;
            if (historyPath && content.history.points.empty())
                std::fprintf(stderr, "tessaly-stats: %s: no history in it; the page has no plot\n",
                             historyPath->c_str());
        }
        const std::string problem =
            writeOutputFile(*pagePath, statusPage(content), pageInputs(content));
        if (!problem.empty()) {
            std::fprintf(stderr, "tessaly-stats: %s\n", printableText(problem).c_str());
            return runFaultStatus;
        }
    }
    return standardOutputWritten("tessaly-stats") ? someRead : runFaultStatus;
}
