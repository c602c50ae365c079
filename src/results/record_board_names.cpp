#include "results/record_board_names.h"

#include <charconv>

namespace {

constexpr std::string_view boardSuffix = ".tsr";

// The number `digits` names when they are written as std::to_string writes a number from 0 to
// `most`: decimal digits only, no leading zero; nothing otherwise.
std::optional<long long> writtenNumber(std::string_view digits, long long most) {
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos ||
        (digits.size() > 1 && digits[0] == '0'))
        return std::nullopt;
    long long value = 0;
    const std::errc error = std::from_chars(digits.data(), digits.data() + digits.size(), value).ec;
    if (error != std::errc{} || value > most) return std::nullopt;
    return value;
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
    if (!name.ends_with(boardSuffix)) return std::nullopt;
    const std::string_view stem = name.substr(0, name.size() - boardSuffix.size());
    const std::size_t dash = stem.find('-');
    const std::optional<long long> score = writtenNumber(stem.substr(0, dash), perfectScore);
    if (!score) return std::nullopt;
    RecordBoardFileName parsed{static_cast<int>(*score), 1};
    if (dash == std::string_view::npos) return parsed;
    const std::optional<long long> copy = writtenNumber(stem.substr(dash + 1), mostBoardCopies);
    if (!copy || *copy < 2) return std::nullopt;
    parsed.copy = *copy;
    return parsed;
}
