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

}  // namespace

std::optional<FarmOptions> parseFarmOptions(const std::vector<std::string>& arguments,
                                            std::string& error) {
    FarmOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue = argument == "-j" || argument == "-d" || argument == "--status" ||
                                argument == "--restarts" || argument == "--solver";
        if (takesValue) {
            if (i + 1 >= arguments.size()) {
                error = "option " + argument + " needs a value";
                return std::nullopt;
            }
            const std::string& value = arguments[++i];
            std::optional<int> number;
            if (argument == "-j") {
                number = parseCount(value, 1, 4096);
                if (number) options.instances = *number;
            } else if (argument == "--status") {
                number = parseCount(value, 1, 3600);
                if (number) options.statusSeconds = *number;
            } else if (argument == "--restarts") {
                number = parseCount(value, 0, 1000);
                if (number) options.restartLimit = *number;
            } else {
                number = 0;
                if (value.empty()) number.reset();
                (argument == "-d" ? options.directory : options.solver) = value;
            }
            if (!number) {
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
