// tessaly-stats: the statistics and record boards of several solver directories, added up.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/program_info.h"
#include "stats/directory_reading.h"
#include "stats/file_replacing.h"
#include "stats/record_board_list.h"
#include "stats/statistics_tables.h"
#include "stats/status_page.h"

namespace {

constexpr int someRead = 0;
constexpr int noneRead = 1;
constexpr int badArguments = 2;
constexpr int pageNotWritten = 2;
constexpr int outputLost = 2;
constexpr const char* usageLine =
    "usage: tessaly-stats [--exact] [--html FILE [--history FILE] [--pieces FILE]] DIR...\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "tessaly-stats: %s\n%s", message.c_str(), usageLine);
    return badArguments;
}

void writeOut(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    answerHelpOrVersion(argc, argv, "tessaly-stats", usageLine);
    NodeFigures figures = NodeFigures::billions;
    std::vector<std::string> directories;
    // The page and what it reads beyond the directories, each given as "--option FILE".
    std::optional<std::string> pagePath;
    std::optional<std::string> historyPath;
    std::optional<std::string> piecePath;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--help" || arg == "-h") {
                std::fputs(usageLine, stdout);
                return someRead;
            } else if (arg == "--exact") {
                figures = NodeFigures::exact;
            } else if (arg == "--html" || arg == "--history" || arg == "--pieces") {
                if (i + 1 >= argc || argv[i + 1][0] == '\0')
                    return usageError("option " + std::string(arg) + " needs a file");
                (arg == "--html"      ? pagePath
                 : arg == "--history" ? historyPath
                                      : piecePath) = argv[++i];
            } else {
                return usageError("unknown option " + std::string(arg));
            }
            continue;
        }
        directories.emplace_back(arg);
    }
    if (directories.empty()) return usageError("no directory given");
    if (!pagePath && (historyPath || piecePath))
        return usageError("--history and --pieces are for the page: give --html FILE too");

    const ReadDirectories read = readDirectories(directories);
    for (const std::string& problem : read.problems)
        std::fprintf(stderr, "tessaly-stats: %s\n", problem.c_str());
    if (read.read.empty()) {
        std::fputs("tessaly-stats: no statistics file could be read\n", stderr);
        return noneRead;
    }
    std::string text = statisticsTables(read.read, figures);
    text += '\n';
    text += recordBoardListText(read.boards, listedRecordBoards);
    writeOut(text);
    if (pagePath) {
        PageContent content = pageContent(read, figures, piecePath.value_or(""));
        content.writtenBy = "tessaly-stats";
        content.historyFile = historyPath ? *historyPath : historyBeside(read.read);
        if (!content.historyFile.empty()) {
            content.history = readHistory(content.historyFile);
            if (historyPath && content.history.empty())
                std::fprintf(stderr, "tessaly-stats: %s: no history in it; the page has no plot\n",
                             historyPath->c_str());
        }
        const std::string problem = replaceFile(*pagePath, statusPage(content));
        if (!problem.empty()) {
            std::fprintf(stderr, "tessaly-stats: %s\n", problem.c_str());
            return pageNotWritten;
        }
    }
    return standardOutputWritten("tessaly-stats") ? someRead : outputLost;
}
