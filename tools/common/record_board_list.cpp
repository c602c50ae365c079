#include "tools/common/record_board_list.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/printable_text.h"
#include "results/record_board_names.h"
#include "tools/common/directory_reading.h"

std::optional<RecordBoard> recordBoardName(std::string_view name) {
    const std::optional<RecordBoardFileName> parsed = parseRecordBoardFileName(name);
    if (!parsed) return std::nullopt;
    return RecordBoard{parsed->score, parsed->copy, std::string(name)};
}

std::vector<RecordBoard> recordBoardsIn(const std::string& directory) {
    namespace fs = std::filesystem;
    std::vector<RecordBoard> boards;
    std::error_code error;
    fs::directory_iterator entry(fs::path(directory), error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::optional<RecordBoard> board = recordBoardName(name);
        if (!board) continue;
        std::error_code statusError;
        if (!fs::is_regular_file(entry->status(statusError)) || statusError) continue;
        board->path = pathIn(directory, name);
        boards.push_back(*board);
    }
    std::sort(boards.begin(), boards.end(), [](const RecordBoard& a, const RecordBoard& b) {
        if (a.score != b.score) return a.score > b.score;
        if (a.serial != b.serial) return a.serial < b.serial;
        return a.path < b.path;
    });
    return boards;
}

void sortBestFirst(std::vector<RecordBoard>& boards) {
    std::stable_sort(boards.begin(), boards.end(),
                     [](const RecordBoard& a, const RecordBoard& b) { return a.score > b.score; });
}

std::string recordBoardListText(const std::vector<RecordBoard>& boards, std::size_t limit) {
    if (boards.empty()) return "No record boards in these directories.\n";
    std::string text = "Record boards, best first:\n";
    for (std::size_t i = 0; i < boards.size() && i < limit; ++i) {
        char score[16];
        std::snprintf(score, sizeof score, "%5d  ", boards[i].score);
        text += score;
        text += printableText(boards[i].path);
        text += '\n';
    }
    return text;
}
