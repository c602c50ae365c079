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

std::optional<RecordBoardFileName> parseRecordBoardFileName(std::string_view name) {
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
    RecordBoardFileName parsed{score, 1};
    const std::string_view rest = stem.substr(digits);
    if (rest.size() > 1 && rest[0] == '-') {
        long long copy = 0;
        const auto [end, copyError] =
            std::from_chars(rest.data() + 1, rest.data() + rest.size(), copy);
        if (copyError == std::errc{} && end == rest.data() + rest.size()) parsed.copy = copy;
    }
    return parsed;
}
