// tessaly-stats: the statistics and record boards of several solver directories, added up.
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "run/program_info.h"
#include "stats/directory_reading.h"
#include "stats/record_board_list.h"
#include "stats/statistics_tables.h"

namespace {

constexpr int someRead = 0;
constexpr int noneRead = 1;
constexpr int badArguments = 2;
constexpr std::size_t listedBoards = 10;

constexpr const char* usageLine = "usage: tessaly-stats [--exact] DIR...\n";

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
            } else {
                return usageError("unknown option " + std::string(arg));
            }
            continue;
        }
        directories.emplace_back(arg);
    }
    if (directories.empty()) return usageError("no directory given");

    std::vector<DirectoryStatistics> read;
    std::vector<RecordBoard> boards;
    std::map<std::string, std::string> seen;  // directory key: the name first given for it
    for (const std::string& directory : directories) {
        const auto [first, isNew] = seen.emplace(directoryKey(directory), directory);
        if (!isNew) {
            std::fprintf(stderr, "tessaly-stats: %s: same directory as %s; counted once\n",
                         directory.c_str(), first->second.c_str());
            continue;
        }
        DirectoryStatistics statistics;
        const DirectoryReading reading = readDirectoryStatistics(directory, statistics);
        if (reading != DirectoryReading::read) {
            std::fprintf(stderr, "tessaly-stats: %s: %s; skipped\n",
                         pathIn(directory, "total.txt").c_str(), readingProblem(reading));
            continue;
        }
        read.push_back(statistics);
        for (RecordBoard& board : recordBoardsIn(directory))
            boards.push_back(board);
    }
    if (read.empty()) {
        std::fputs("tessaly-stats: no statistics file could be read\n", stderr);
        return noneRead;
    }
    sortBestFirst(boards);
    std::string text = statisticsTables(read, figures);
    text += '\n';
    text += recordBoardListText(boards, listedBoards);
    writeOut(text);
    return someRead;
}
