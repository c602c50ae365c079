#include "stats/record_board_list.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "stats/directory_reading.h"

namespace {

constexpr int perfectScore = 480;
constexpr std::string_view boardSuffix = ".tsr";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<RecordBoard> recordBoardName(std::string_view name) {
    if (name.size() <= boardSuffix.size() ||
        name.substr(name.size() - boardSuffix.size()) != boardSuffix)
        return std::nullopt;
    const std::string_view stem = name.substr(0, name.size() - boardSuffix.size());
    std::size_t digits = 0;
    while (digits < stem.size() && isDigit(stem[digits]))
        ++digits;
    int score = 0;
    const std::errc error = std::from_chars(stem.data(), stem.data() + digits, score).ec;
    if (digits == 0 || error != std::errc{} || score > perfectScore) return std::nullopt;
    RecordBoard board{score, 1, std::string(name)};
    // "480-N": the N-th perfect board of the directory.
    const std::string_view rest = stem.substr(digits);
    if (rest.size() > 1 && rest[0] == '-') {
        long long serial = 0;
        const auto [end, serialError] =
            std::from_chars(rest.data() + 1, rest.data() + rest.size(), serial);
        if (serialError == std::errc{} && end == rest.data() + rest.size()) board.serial = serial;
    }
    return board;
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
        text += boards[i].path;
        text += '\n';
    }
    return text;
}
