#include "results/record_board_names.h"

#include <charconv>

namespace {

constexpr std::string_view boardSuffix = ".tsr";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string recordBoardFileName(int score, long long copy) {
    std::string name = std::to_string(score);
    if (copy > 1) {
        name += '-';
        name += std::to_string(copy);
    }
    name += boardSuffix;
    return name;
}

std::optional<int> scoreInRecordBoardName(std::string_view name) {
    std::size_t digits = 0;
    while (digits < name.size() && isDigit(name[digits]))
        ++digits;
    if (digits == 0 || digits == name.size() || (name[digits] != '.' && name[digits] != '-'))
        return std::nullopt;
    int score = 0;
    const std::errc error = std::from_chars(name.data(), name.data() + digits, score).ec;
    if (error != std::errc{} || score > perfectScore) return std::nullopt;
    return score;
}

std::optional<RecordBoardFileName> parseRecordBoardFileName(std::string_view name) {
    if (name.size() <= boardSuffix.size() ||
        name.substr(name.size() - boardSuffix.size()) != boardSuffix)
        return std::nullopt;
    const std::optional<int> score = scoreInRecordBoardName(name);
    if (!score) return std::nullopt;
    RecordBoardFileName parsed{*score, 1};
    const std::string_view stem = name.substr(0, name.size() - boardSuffix.size());
    const std::size_t dash = stem.find_first_not_of("0123456789");
    if (dash != std::string_view::npos && stem[dash] == '-' && dash + 1 < stem.size()) {
        long long copy = 0;
        const auto [end, copyError] =
            std::from_chars(stem.data() + dash + 1, stem.data() + stem.size(), copy);
        if (copyError == std::errc{} && end == stem.data() + stem.size()) parsed.copy = copy;
    }
    return parsed;
}
