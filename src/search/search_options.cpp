#include "search/search_options.h"

#include <algorithm>

#include "puzzle/colour_scarcity.h"
#include "search/rim_look_ahead.h"

SearchOptions runOptions;

const std::array<SearchOptionRow, 4> searchOptionRows{{
    {"Rim look-ahead", "--rim-look-ahead", "rim-look-ahead", nullptr, 1, 1,
     "refuse rim placements after which the rim cannot close", &SearchOptions::rimLookAhead, 1,
     TrialFigure::fullBoards, rimLookAheadFault, nullptr},
    {"Profile", "--profile", nullptr, nullptr, 1, 1,
     "the nodes by depth, the deep placements and the ends of the runs", &SearchOptions::profile, 0,
     TrialFigure::yield, nullptr, nullptr},
    {"Scarcity ordering", "--scarcity", "scarcity", "W", -1000, 1000,
     "order candidates also by how common their colours are (W < 0: common ones first)",
     &SearchOptions::scarcity, 0, TrialFigure::yield, nullptr, prepareScarcity},
    {"Mismatch bound", "--mismatch-bound", "mismatch-bound", nullptr, 1, 1,
     "refuse placements after which the colours left need more mismatched edges than a full "
     "board may have",
     &SearchOptions::mismatchBound, 0, TrialFigure::fullBoards, nullptr, nullptr},
}};

void startRunOptions(const SearchOptions& options) {
    runOptions = options;
    for (const SearchOptionRow& row : searchOptionRows)
        if (row.atRunStart != nullptr) row.atRunStart(options.*(row.value));
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
