#include "farm/farm_options.h"

#include <charconv>

namespace {

// A whole decimal number in min..max, or nothing.
std::optional<int> parseCount(const std::string& text, int min, int max) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    if (text.empty() || fault != std::errc{} || stop != end || value < min || value > max)
        return std::nullopt;
    return value;
}

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

std::optional<FarmOptions> parseFarmOptions(const std::vector<std::string>& arguments,
                                            std::string& error) {
    FarmOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const CountOption* count = nullptr;
        const TextOption* text = nullptr;
        for (const CountOption& option : countOptions)
            if (argument == option.name) count = &option;
        for (const TextOption& option : textOptions)
            if (argument == option.name) text = &option;
        if (count != nullptr || text != nullptr) {
            if (i + 1 >= arguments.size()) {
                error = "option " + argument + " needs a value";
                return std::nullopt;
            }
            const std::string& value = arguments[++i];
            bool accepted = !value.empty();
            if (text != nullptr) {
                options.*(text->field) = value;
            } else if (const auto number = parseCount(value, count->min, count->max)) {
                options.*(count->field) = *number;
            } else {
                accepted = false;
            }
            if (!accepted) {
                error = "option " + argument + " does not take <" + value + ">";
                return std::nullopt;
            }
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument;
            return std::nullopt;
        } else if (options.boardFile.empty()) {
            options.boardFile = argument;
        } else {
            error = "only one board file can be given";
            return std::nullopt;
        }
    }
    return options;
}
