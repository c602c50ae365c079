#include "search/search_options.h"

#include <algorithm>

RunOptions runOptions;

void startRunOptions(const SearchOptions& options) {
    static_cast<SearchOptions&>(runOptions) = options;
    for (const SearchOptionRow& row : searchOptionRows)
        if (row.atRunStart != nullptr) row.atRunStart(options[row]);
}

const SearchOptionRow* optionWithWord(std::string_view word) {
    const auto row =
        std::find_if(searchOptionRows.begin(), searchOptionRows.end(),
                     [word](const SearchOptionRow& r) { return r.word && word == r.word; });
    return row == searchOptionRows.end() ? nullptr : &*row;
}

const SearchOptionRow* optionWithFlag(std::string_view flag) {
    const auto row = std::find_if(searchOptionRows.begin(), searchOptionRows.end(),
                                  [flag](const SearchOptionRow& r) { return flag == r.benchFlag; });
    return row == searchOptionRows.end() ? nullptr : &*row;
}

namespace {

// `text`, then for an option with a value, `separator` and the value.
std::string withValue(std::string text, char separator, const SearchOptionRow& row,
                      std::int64_t value) {
    if (row.valueName != nullptr) {
        text += separator;
        text += std::to_string(value);
    }
    return text;
}

}  // namespace

std::string optionWord(const SearchOptionRow& row, std::int64_t value) {
    return withValue(row.word, '=', row, value);
}

std::string optionTitle(const SearchOptionRow& row, std::int64_t value) {
    return withValue(row.name, ' ', row, value);
}
