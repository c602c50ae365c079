// What every search option declares about itself, in one row: the programs, the groups file and
// the man pages follow the rows, and the search its hooks. An option is a type with a static
// `row` of this kind, named once in the list of options (search/search_option_list.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The figure tessaly-groups' trial judges an option by: what the runs reached (full boards per
// CPU-minute where they come on two seed pairs, else runs reaching depth 248, else the median
// deepest depth), or full boards alone, for an option that only cuts off searches that hold no
// full board and so makes runs end shallower by design.
enum class TrialFigure { yield, fullBoards };

// The counters an option keeps for tessaly-bench --profile, at most five.
using OptionCounts = std::array<std::int64_t, 5>;

struct SearchOptionRow {
    const char* name;       // in messages, capitalised: "Rim look-ahead"
    const char* benchFlag;  // "--rim-look-ahead"
    const char* word;       // in k7groups.txt, or null; a valued option is written WORD=VALUE
    const char* valueName;  // null for a switch, else the name of its value ("W")
    std::int64_t least;     // the values a user may give (a switch: 1 and 1)
    std::int64_t most;
    const char* help;  // what it does, in a line
    // The value tessaly-groups' trial tries on the groups it chose, or 0 when it does not try it,
    // and the figure it judges the option by.
    std::int64_t trialValue = 0;
    TrialFigure trialFigure = TrialFigure::yield;
    // Why these pieces do not allow the option (the solver says so and leaves it off), or an
    // empty text; null for an option that every puzzle allows.
    std::string (*refusal)() = nullptr;
    // Called with the option's value at the start of every run, before the lists are ordered;
    // null for an option that needs nothing then.
    void (*atRunStart)(std::int64_t value) = nullptr;
    // The run's counters for the bench's profile, and the profile's line of their sums over the
    // runs, ending in a newline; null for an option that counts nothing.
    OptionCounts (*profileCounts)() = nullptr;
    std::string (*profileLine)(const OptionCounts& sums) = nullptr;
    // The manual's text of the option, in roff: under its bench flag in tessaly-bench(1), and
    // under its word in tessaly(5) (null for an option without a word).
    const char* benchPage = "";
    const char* wordPage = nullptr;
};

// The options of the search, as types with a static `row`, in the order of the table.
template <class... Option>
struct OptionList {
    static constexpr std::size_t size = sizeof...(Option);
    static constexpr std::array<SearchOptionRow, size> rows{Option::row...};
};
