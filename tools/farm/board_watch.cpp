#include "tools/farm/board_watch.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "results/record_board_names.h"

namespace {

// The regular files of `directory` named as record boards that `watch` does not know yet.
std::vector<std::pair<RecordBoardFileName, std::string>> unknownBoards(
    const BoardWatch& watch, const std::string& directory) {
    namespace fs = std::filesystem;
    std::vector<std::pair<RecordBoardFileName, std::string>> boards;
    std::error_code error;
    fs::directory_iterator entry(fs::path(directory), error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::string name = entry->path().filename().string();
        const std::optional<RecordBoardFileName> parsed = parseRecordBoardFileName(name);
        if (!parsed || watch.known.contains(name)) continue;
        // A board appears whole, renamed from its temporary file, and is then a regular file.
        std::error_code statusError;
        if (!fs::is_regular_file(entry->symlink_status(statusError)) || statusError) continue;
        boards.emplace_back(*parsed, std::move(name));
    }
    return boards;
}

}  // namespace

void noteBoardFiles(BoardWatch& watch, const std::string& directory) {
    for (auto& [parsed, name] : unknownBoards(watch, directory))
        watch.known.insert(std::move(name));
}

std::vector<BoardNews> newBoardFiles(BoardWatch& watch, const std::string& directory) {
    auto boards = unknownBoards(watch, directory);
    std::sort(boards.begin(), boards.end(), [](const auto& a, const auto& b) {
        if (a.first.score != b.first.score) return a.first.score < b.first.score;
        return a.first.copy < b.first.copy;
    });
    std::vector<BoardNews> news;
    for (auto& [parsed, name] : boards) {
        watch.known.insert(name);
        news.push_back({parsed.score == perfectScore, std::move(name), true, {}});
    }
    return news;
}
