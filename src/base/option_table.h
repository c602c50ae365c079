// The command lines of the companion programs and the bench, read from one table per program
// that also writes its --help. Each option is a row of a kind (a flag, a whole number in a range,
// a seed pair, a path), so that a bad value gets the same words in every program:
// "--runs takes a whole number from 1 to 1000000, not 'x'".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class OptionKind {
    flag,      // no value
    number,    // a whole decimal number from `least` to `most`
    seedPair,  // two seeds MAIN,GROUP, each from 0 to 2^32 - 1
    path,      // a name of 1 to `most` bytes
};

struct OptionRow {
    const char* name;   // as given on the command line: "--seconds", "-j"
    const char* value;  // the name of its value in the help ("N", "FILE"), or null for a flag
    const char* help;   // what it does; the help wraps it to 80 columns
    OptionKind kind = OptionKind::flag;
    std::int64_t least = 0;  // a number's range, or a path's longest length in `most`
    std::int64_t most = 0;
};

inline constexpr std::int64_t largestSeed = 0xFFFFFFFF;
// Node totals go up to 10^18, below the 64-bit limit with room for a run's overshoot.
inline constexpr std::int64_t largestNodeTotal = 1'000'000'000'000'000'000;
// The longest path the system takes (PATH_MAX less its terminator).
inline constexpr std::int64_t longestPath = 4095;

// The rows, by kind.
constexpr OptionRow flagOption(const char* name, const char* help) {
    return {name, nullptr, help, OptionKind::flag};
}
// A whole number in least..most: a count, a number of seconds, a signed value.
constexpr OptionRow numberOption(const char* name, const char* value, std::int64_t least,
                                 std::int64_t most, const char* help) {
    return {name, value, help, OptionKind::number, least, most};
}
constexpr OptionRow nodeTotalOption(const char* name, const char* help) {
    return numberOption(name, "N", 1, largestNodeTotal, help);
}
constexpr OptionRow seedOption(const char* name, const char* help) {
    return numberOption(name, "N", 0, largestSeed, help);
}
constexpr OptionRow seedPairOption(const char* name, const char* help) {
    return {name, "MAIN,GROUP", help, OptionKind::seedPair, 0, largestSeed};
}
constexpr OptionRow pathOption(const char* name, const char* value, const char* help,
                               std::int64_t longest = longestPath) {
    return {name, value, help, OptionKind::path, 1, longest};
}

// What an option takes, in words: "a whole number from 1 to 12", "a path of 1 to 4095 bytes".
std::string takesText(const OptionRow& row);

// An option as given, its value read by its kind.
struct GivenOption {
    const OptionRow* row;
    std::string text;              // the value as given ("" for a flag)
    std::int64_t number = 0;       // a number, or the first seed of a pair
    std::uint32_t secondSeed = 0;  // the second seed of a pair
};

// The options given, in order, and the operands.
struct GivenOptions {
    std::vector<GivenOption> options;
    std::vector<std::string> operands;
    // Whether the option was given.
    bool has(std::string_view name) const;
    // The value it was given last, or nothing: as text, as a number, as a seed pair.
    std::optional<std::string> text(std::string_view name) const;
    std::optional<std::int64_t> number(std::string_view name) const;
    std::optional<std::array<std::uint32_t, 2>> seedPair(std::string_view name) const;

private:
    const GivenOption* last(std::string_view name) const;
};

// Reads the arguments after the program's name by `table`: an option's value is the argument
// after it (which may begin with '-'); "--" ends the options; any other argument that begins
// with '-' and is more than that is refused, as is an option without its value or with a value
// its kind does not take. On a refusal sets `problem` and returns nothing.
std::optional<GivenOptions> parseOptions(const std::vector<std::string>& arguments,
                                         std::span<const OptionRow> table, std::string& problem);

// A program's command line: its forms, what the help says besides, and its options.
struct CommandLine {
    const char* program;                 // "tessaly-farm"
    std::span<const char* const> forms;  // each form after the program's name: "[-j N] [DIR]"
    const char* about;                   // a paragraph after the usage in --help, or null
    std::span<const OptionRow> options;
};

// "usage: NAME FORM", a line per form, each wrapped to 80 columns between its bracketed parts.
std::string usageText(const CommandLine& line);
// The --help text: the usage, the paragraph about the program, then a line per option, the
// paragraph and each option's help wrapped to 80 columns.
std::string helpText(const CommandLine& line);
// Answers --help and --version (status 0) and reads the arguments after the program's name;
// a usage fault ends the program as usageFault does.
GivenOptions readCommandLine(const CommandLine& line, int argc, char** argv);
// Prints "NAME: PROBLEM" and the usage on the error stream and ends with the usage status.
[[noreturn]] void usageFault(const CommandLine& line, const std::string& problem);

// The whole decimal number `text` when it lies in low..high.
std::optional<std::int64_t> numberIn(std::string_view text, std::int64_t low, std::int64_t high);
// The two seeds of `text`, "MAIN,GROUP", each a whole number from 0 to largestSeed.
std::optional<std::array<std::uint32_t, 2>> seedPairIn(std::string_view text);
