#include "tools/farm/log_watch.h"

#include <cstring>

#include "results/board_files.h"
#include "results/record_board_names.h"

namespace {

// The board file's name at the end of "DIR/NAME" (or "DIR\NAME").
std::string fileNameIn(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isPerfectBoardName(const std::string& name) {
    const auto parsed = parseRecordBoardFileName(name);
    return parsed && parsed->score == perfectScore;
}

}  // namespace

std::vector<BoardNews> scanLogText(LogWatch& watch, const std::string& text) {
    std::vector<BoardNews> news;
    watch.partialLine += text;
    std::size_t start = 0;
    for (std::size_t end; (end = watch.partialLine.find('\n', start)) != std::string::npos;
         start = end + 1) {
        const std::string line = watch.partialLine.substr(start, end - start);
        if (watch.unsavedLinesDue > 0) {
            watch.unsaved.board += line + "\n";
            if (--watch.unsavedLinesDue == 0) news.push_back(watch.unsaved);
            continue;
        }
        // The solver prints "Board is saved in DIR/NAME" for every record and perfect board it
        // writes; the name tells which, by its score.
        std::size_t at = line.find(boardSavedText);
        if (at != std::string::npos) {
            const std::string name = fileNameIn(line.substr(at + std::strlen(boardSavedText)));
            if (!name.empty()) news.push_back({isPerfectBoardName(name), name, true, ""});
            continue;
        }
        // "Board could not be saved in DIR/NAME: REASON; here it is as a board file:", then
        // the board.
        at = line.find(boardNotSavedText);
        if (at == std::string::npos) continue;
        const std::string rest = line.substr(at + std::strlen(boardNotSavedText));
        const std::string name = fileNameIn(rest.substr(0, rest.find(": ")));
        watch.unsaved = {isPerfectBoardName(name), name, false, line.substr(at) + "\n"};
        watch.unsavedLinesDue = unsavedBoardLines - 1;
    }
    watch.partialLine.erase(0, start);
    return news;
}

std::vector<BoardNews> endLogText(LogWatch& watch) {
    std::vector<BoardNews> news = scanLogText(watch, watch.partialLine.empty() ? "" : "\n");
    if (watch.unsavedLinesDue > 0) news.push_back(watch.unsaved);
    watch = {};
    return news;
}
