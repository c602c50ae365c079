// The command lines of the companion programs, read from one small table per program that also
// writes its --help: each option with the name of its value (or none, for a switch) and a line
// of what it does.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct OptionSpec {
    const char* name;   // as given on the command line: "--seconds", "-j"
    const char* value;  // the name of its value in the help ("N", "FILE"), or null for a switch
    const char* help;   // what it does, in a line
};

// The options given, in order, each with its value ("" for a switch), and the operands.
struct GivenOptions {
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> operands;
    // Whether the option was given.
    bool has(std::string_view name) const;
    // The value it was given last, or nothing.
    std::optional<std::string> value(std::string_view name) const;
};

// Reads the arguments after the program's name by `table`: an option's value is the argument
// after it (which may begin with '-'); "--" ends the options; any other argument that begins
// with '-' and is more than that is refused, as is an option without its value. On a refusal
// sets `problem` and returns nothing.
std::optional<GivenOptions> parseOptions(const std::vector<std::string>& arguments,
                                         std::span<const OptionSpec> table, std::string& problem);
// The --help text: `usage`, then a line per option of the table.
std::string optionsHelp(const char* usage, std::span<const OptionSpec> table);
// The whole decimal number `text` when it lies in low..high.
std::optional<std::int64_t> numberIn(std::string_view text, std::int64_t low, std::int64_t high);
