#include "tools/farm/farm_options.h"

#include <array>

namespace {

constexpr std::array<OptionSpec, 6> farmTable{{
    {"-j", "N", "instances to run (default: one per online processor)"},
    {"-d", "DIR", "instance i keeps its files in DIR/i (default: farm)"},
    {"--status", "SECONDS", "how often the status line is refreshed (default: 3)"},
    {"--restarts", "N", "how often an instance that ends on its own is restarted (default: 3)"},
    {"--solver", "PROGRAM", "the solver (default: tessaly beside tessaly-farm)"},
    {"--html", "FILE", "rewrite the statistics page FILE at every refresh"},
}};

// The options that take a whole number, with its range and where it goes.
struct CountOption {
    const char* name;
    int min;
    int max;
    int FarmOptions::*field;
};
constexpr CountOption countOptions[] = {{"-j", 1, 4096, &FarmOptions::instances},
                                        {"--status", 1, 3600, &FarmOptions::statusSeconds},
                                        {"--restarts", 0, 1000, &FarmOptions::restartLimit}};

// The options that take a text, and where it goes.
struct TextOption {
    const char* name;
    std::string FarmOptions::*field;
};
constexpr TextOption textOptions[] = {{"-d", &FarmOptions::directory},
                                      {"--solver", &FarmOptions::solver},
                                      {"--html", &FarmOptions::pagePath}};

}  // namespace

const std::string farmHelp = optionsHelp(farmUsage, farmTable);

std::optional<FarmOptions> parseFarmOptions(const std::vector<std::string>& arguments,
                                            std::string& error) {
    const std::optional<GivenOptions> given = parseOptions(arguments, farmTable, error);
    if (!given) return std::nullopt;
    FarmOptions options;
    for (const auto& [name, value] : given->options) {
        bool accepted = !value.empty();
        for (const CountOption& count : countOptions)
            if (name == count.name) {
                const auto number = numberIn(value, count.min, count.max);
                accepted = accepted && number.has_value();
                if (number) options.*(count.field) = static_cast<int>(*number);
            }
        for (const TextOption& text : textOptions)
            if (name == text.name) options.*(text.field) = value;
        if (!accepted) {
            error = "option " + name + " does not take <" + value + ">";
            return std::nullopt;
        }
    }
    if (given->operands.size() > 1) {
        error = "only one board file can be given";
        return std::nullopt;
    }
    if (!given->operands.empty()) options.boardFile = given->operands[0];
    return options;
}
