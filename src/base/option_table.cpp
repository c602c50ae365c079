#include "base/option_table.h"

#include <algorithm>
#include <charconv>

bool GivenOptions::has(std::string_view name) const {
    return std::any_of(options.begin(), options.end(),
                       [name](const auto& option) { return option.first == name; });
}

std::optional<std::string> GivenOptions::value(std::string_view name) const {
    std::optional<std::string> last;
    for (const auto& [option, value] : options)
        if (option == name) last = value;
    return last;
}

std::optional<GivenOptions> parseOptions(const std::vector<std::string>& arguments,
                                         std::span<const OptionSpec> table, std::string& problem) {
    GivenOptions given;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            given.operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const auto entry =
            std::find_if(table.begin(), table.end(),
                         [&argument](const OptionSpec& s) { return argument == s.name; });
        if (entry == table.end()) {
            problem = "unknown option " + argument;
            return std::nullopt;
        }
        if (entry->value == nullptr) {
            given.options.emplace_back(argument, "");
            continue;
        }
        if (i + 1 >= arguments.size()) {
            problem = "option " + argument + " needs a value (" + entry->value + ")";
            return std::nullopt;
        }
        given.options.emplace_back(argument, arguments[++i]);
    }
    return given;
}

std::string optionsHelp(const char* usage, std::span<const OptionSpec> table) {
    std::string text = usage;
    text += "\n";
    std::size_t width = 0;
    for (const OptionSpec& entry : table)
        width = std::max(width, std::string(entry.name).size() +
                                    (entry.value ? std::string(entry.value).size() + 1 : 0));
    for (const OptionSpec& entry : table) {
        std::string left = entry.name;
        if (entry.value != nullptr) {
            left += ' ';
            left += entry.value;
        }
        text.append(2, ' ');
        text += left;
        text.append(width - left.size() + 2, ' ');
        text += entry.help;
        text += '\n';
    }
    return text;
}

std::optional<std::int64_t> numberIn(std::string_view text, std::int64_t low, std::int64_t high) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    if (text.empty() || fault != std::errc{} || stop != end || value < low || value > high)
        return std::nullopt;
    return value;
}
