#include "base/option_table.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "base/printable_text.h"
#include "base/program_info.h"

namespace {

constexpr std::size_t helpWidth = 80;

// Reads `text` as a value of `row`'s kind into `given`; false when it is none.
bool readValue(const OptionRow& row, const std::string& text, GivenOption& given) {
    switch (row.kind) {
        case OptionKind::flag:
            return true;
        case OptionKind::number: {
            const auto number = numberIn(text, row.least, row.most);
            given.number = number.value_or(0);
            return number.has_value();
        }
        case OptionKind::seedPair: {
            const auto seeds = seedPairIn(text);
            given.number = seeds ? (*seeds)[0] : 0;
            given.secondSeed = seeds ? (*seeds)[1] : 0;
            return seeds.has_value();
        }
        case OptionKind::path:
            return !text.empty() && static_cast<std::int64_t>(text.size()) <= row.most;
    }
    return false;
}

// `words` broken into lines of at most `width` columns: the first begins with `first`, the
// others with `indent`; a line breaks only at a space outside brackets, so that "[-j N]" stays
// whole, and a part longer than a line stands alone on its line.
std::string wrapped(std::string_view words, const std::string& first, const std::string& indent,
                    std::size_t width) {
    std::vector<std::string_view> parts;
    int depth = 0;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= words.size(); ++i) {
        if (i < words.size() && words[i] == '[') ++depth;
        if (i < words.size() && words[i] == ']') --depth;
        if (i == words.size() || (words[i] == ' ' && depth <= 0)) {
            if (i > begin) parts.push_back(words.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    std::string text = first;
    std::size_t lineStart = 0;
    bool lineEmpty = true;
    for (const std::string_view part : parts) {
        if (!lineEmpty && text.size() - lineStart + 1 + part.size() > width) {
            text += '\n';
            lineStart = text.size();
            text += indent;
            lineEmpty = true;
        }
        if (!lineEmpty) text += ' ';
        text += part;
        lineEmpty = false;
    }
    return text + '\n';
}

}  // namespace

std::string takesText(const OptionRow& row) {
    switch (row.kind) {
        case OptionKind::flag:
            return "no value";
        case OptionKind::number:
            return "a whole number from " + std::to_string(row.least) + " to " +
                   std::to_string(row.most);
        case OptionKind::seedPair:
            return "two whole numbers MAIN,GROUP from 0 to " + std::to_string(largestSeed);
        case OptionKind::path:
            return "a path of 1 to " + std::to_string(row.most) + " bytes";
    }
    return {};
}

const GivenOption* GivenOptions::last(std::string_view name) const {
    const auto found = std::find_if(options.rbegin(), options.rend(),
                                    [name](const GivenOption& o) { return name == o.row->name; });
    return found == options.rend() ? nullptr : &*found;
}

bool GivenOptions::has(std::string_view name) const {
    return last(name) != nullptr;
}

std::optional<std::string> GivenOptions::text(std::string_view name) const {
    const GivenOption* given = last(name);
    return given ? std::optional(given->text) : std::nullopt;
}

std::optional<std::int64_t> GivenOptions::number(std::string_view name) const {
    const GivenOption* given = last(name);
    return given ? std::optional(given->number) : std::nullopt;
}

std::optional<std::array<std::uint32_t, 2>> GivenOptions::seedPair(std::string_view name) const {
    const GivenOption* given = last(name);
    if (given == nullptr) return std::nullopt;
    return std::array{static_cast<std::uint32_t>(given->number), given->secondSeed};
}

std::optional<GivenOptions> parseOptions(const std::vector<std::string>& arguments,
                                         std::span<const OptionRow> table, std::string& problem) {
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
                         [&argument](const OptionRow& s) { return argument == s.name; });
        if (entry == table.end()) {
            problem = "unknown option " + printableText(argument);
            return std::nullopt;
        }
        GivenOption option{&*entry, ""};
        if (entry->kind != OptionKind::flag) {
            if (i + 1 >= arguments.size()) {
                problem = argument + " takes " + takesText(*entry) + "; none follows it";
                return std::nullopt;
            }
            option.text = arguments[++i];
        }
        if (!readValue(*entry, option.text, option)) {
            problem = argument + " takes " + takesText(*entry) + ", not '" +
                      printableText(option.text) + "'";
            return std::nullopt;
        }
        given.options.push_back(std::move(option));
    }
    return given;
}

std::string usageText(const CommandLine& line) {
    std::string text;
    const std::string program = line.program;
    for (const char* form : line.forms) {
        const std::string first = (text.empty() ? "usage: " : "       ") + program + " ";
        text += wrapped(form, first, std::string(first.size(), ' '), helpWidth);
    }
    return text;
}

std::string helpText(const CommandLine& line) {
    std::string text = usageText(line);
    if (line.about != nullptr) {
        text += '\n';
        text += wrapped(line.about, "", "", helpWidth);
    }
    text += "\n";
    std::size_t width = 0;
    for (const OptionRow& entry : line.options)
        width = std::max(width, std::string(entry.name).size() +
                                    (entry.value ? std::string(entry.value).size() + 1 : 0));
    for (const OptionRow& entry : line.options) {
        std::string left = std::string("  ") + entry.name;
        if (entry.value != nullptr) left += std::string(" ") + entry.value;
        left.resize(width + 4, ' ');
        // The help is words, without brackets to keep together.
        text += wrapped(entry.help, left, std::string(width + 4, ' '), helpWidth);
    }
    return text;
}

GivenOptions readCommandLine(const CommandLine& line, int argc, char** argv) {
    answerHelpOrVersion(argc, argv, line.program, helpText(line).c_str());
    std::string problem;
    std::optional<GivenOptions> given =
        parseOptions(std::vector<std::string>(argv + 1, argv + argc), line.options, problem);
    if (!given) usageFault(line, problem);
    return std::move(*given);
}

void usageFault(const CommandLine& line, const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n%s", line.program, problem.c_str(), usageText(line).c_str());
    std::exit(usageFaultStatus);
}

std::optional<std::int64_t> numberIn(std::string_view text, std::int64_t low, std::int64_t high) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    if (text.empty() || fault != std::errc{} || stop != end || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<std::array<std::uint32_t, 2>> seedPairIn(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const auto main = numberIn(text.substr(0, comma), 0, largestSeed);
    const auto group = numberIn(text.substr(comma + 1), 0, largestSeed);
    if (!main || !group) return std::nullopt;
    return std::array{static_cast<std::uint32_t>(*main), static_cast<std::uint32_t>(*group)};
}
