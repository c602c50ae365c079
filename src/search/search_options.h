// The options a run may search with besides its group rules, and the one table that names them.
//
// An option is a file of its own, in the layer it belongs to, holding its state and its hooks,
// and a row of searchOptionRows: the bench's flags, the words of the groups file (its reader and
// writer), the solver's start-up lines and the lists of the man pages follow the table. With
// every option at its default a run is the solver's own search, node for node.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The values of the options: 0 is off for each, and a switch is 1 when on.
struct SearchOptions {
    // Refuse a rim placement after which the free pieces can no longer close the rim
    // (rim_look_ahead.h).
    std::int64_t rimLookAhead = 0;
    // Count the nodes by depth (depth_profile.h); the bench's alone.
    std::int64_t profile = 0;
    // W: the candidates of a list ordered also by how common their colours are
    // (puzzle/colour_scarcity.h); below 0 the common colours first.
    std::int64_t scarcity = 0;
    // Refuse a placement after which the colours left need more mismatched edges than a full
    // board may have (mismatch_bound.h).
    std::int64_t mismatchBound = 0;

    bool operator==(const SearchOptions&) const = default;
};

// The options of the current run: the program's options as the run began, less those the pieces
// do not allow, so that each is on here only when it really acts. resetRun clears it.
extern SearchOptions runOptions;

// The figure tessaly-groups' trial judges an option by: what the runs reached (full boards per
// CPU-minute where they come on two seed pairs, else runs reaching depth 248, else the median
// deepest depth), or full boards alone, for an option that only cuts off searches that hold no
// full board and so makes runs end shallower by design.
enum class TrialFigure { yield, fullBoards };

// One option of the table.
struct SearchOptionRow {
    const char* name;       // in messages, capitalised: "Rim look-ahead"
    const char* benchFlag;  // "--rim-look-ahead"
    const char* word;       // in k7groups.txt, or null; a valued option is written WORD=VALUE
    const char* valueName;  // null for a switch, else the name of its value ("W")
    std::int64_t least;     // the values a user may give (a switch: 1 and 1)
    std::int64_t most;
    const char* help;  // what it does, in a line
    std::int64_t SearchOptions::*value;
    // The value tessaly-groups' trial tries on the groups it chose, or 0 when it does not try it,
    // and the figure it judges the option by.
    std::int64_t trialValue;
    TrialFigure trialFigure;
    // Why these pieces do not allow the option (the solver says so and leaves it off), or an
    // empty text; null for an option that every puzzle allows.
    std::string (*refusal)();
    // Called with the option's value at the start of every run, before the lists are ordered;
    // null for an option that needs nothing then.
    void (*atRunStart)(std::int64_t value);
};
extern const std::array<SearchOptionRow, 4> searchOptionRows;

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
