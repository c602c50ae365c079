// The options a run may search with besides its group rules, and the one table that names them.
//
// An option is a file of its own, in the layer it belongs to, holding its state, its row (its
// flag, word, range, help, manual text and the functions the programs call) and, if it acts
// inside the search, its hooks into the steps (step_hooks.h); its name in the list of
// search_option_list.h makes it one of the options. The bench's flags, the words of the groups
// file (its reader and writer), the solver's start-up lines, the resets, the bench's profile and
// the option lists of the man pages follow the table. With every option at its default a run is
// the solver's own search, node for node.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "search/search_option_list.h"

// The rows of the options, in the order of the list.
inline constexpr const auto& searchOptionRows = SearchOptionList::rows;

// The place of the option type `Option` in the list.
template <class Option, class... All>
constexpr std::size_t optionIndexIn(OptionList<All...>) {
    constexpr std::array<bool, sizeof...(All)> same{std::is_same_v<Option, All>...};
    for (std::size_t i = 0; i < same.size(); ++i)
        if (same[i]) return i;
    throw "not a search option";
}
template <class Option>
inline constexpr std::size_t optionIndex = optionIndexIn<Option>(SearchOptionList{});

// The values of the options, by their rows: 0 is off for each, and a switch is 1 when on.
struct SearchOptions {
    std::array<std::int64_t, searchOptionRows.size()> values{};

    std::int64_t& operator[](const SearchOptionRow& row) { return values[indexOf(row)]; }
    std::int64_t operator[](const SearchOptionRow& row) const { return values[indexOf(row)]; }
    template <class Option>
    std::int64_t& of() {
        return values[optionIndex<Option>];
    }
    template <class Option>
    std::int64_t of() const {
        return values[optionIndex<Option>];
    }
    // These options with `Option` set to `value`.
    template <class Option>
    SearchOptions with(std::int64_t value) const {
        SearchOptions options = *this;
        options.of<Option>() = value;
        return options;
    }
    bool operator==(const SearchOptions&) const = default;

    // The place of `row`, a row of searchOptionRows, in the table.
    static std::size_t indexOf(const SearchOptionRow& row) {
        return static_cast<std::size_t>(&row - searchOptionRows.data());
    }
};

// The record an option keeps for the run, when it names one (its Record), as a tuple of one.
template <class Option>
struct RecordOf {
    using type = std::tuple<>;
};
template <class Option>
requires requires {
    typename Option::Record;
}
struct RecordOf<Option> {
    using type = std::tuple<typename Option::Record>;
};
template <class... All>
auto recordsOf(OptionList<All...>)
    -> decltype(std::tuple_cat(std::declval<typename RecordOf<All>::type>()...));
// The records of the options that keep one, in the order of the list.
using OptionRecords = decltype(recordsOf(SearchOptionList{}));

// The options of the current run: the program's options as the run began, less those the pieces
// do not allow, so that each is on here only when it really acts; and the record of each option
// that keeps one. resetRun starts every run from fresh ones.
struct RunOptions : SearchOptions {
    OptionRecords records;
};
extern RunOptions runOptions;
template <class Record>
Record& runRecord() {
    return std::get<Record>(runOptions.records);
}

// Fills runOptions from the program's `options` at the start of a run and calls every row's
// atRunStart with its value.
void startRunOptions(const SearchOptions& options);

// The row whose groups-file word (without its value) or bench flag is the one given, or null.
const SearchOptionRow* optionWithWord(std::string_view word);
const SearchOptionRow* optionWithFlag(std::string_view flag);
// The option as the groups file writes it: the word, or "word=VALUE".
std::string optionWord(const SearchOptionRow& row, std::int64_t value);
// The option as the start-up line names it: "Rim look-ahead", "Scarcity ordering -400".
std::string optionTitle(const SearchOptionRow& row, std::int64_t value);
