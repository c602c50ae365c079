#include "run/groups_file.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "base/file_reading.h"
#include "base/formatted_text.h"
#include "base/option_table.h"
#include "run/group_rules.h"

namespace {

// Far more than 60 groups of 253 numbers with comments take; a larger file is no groups file.
constexpr std::size_t largestFile = 1 << 20;

// One group as read: its two lists and the lines their words stood on.
struct GroupText {
    std::vector<std::uint8_t> first, second;
    std::vector<int> pieceLines;  // the line of each piece, first list then second
    int firstLine = 0;
    int secondLine = 0;  // 0 until the word second is read
};

// What a count rule allows, in words: "149 or 150", "2".
std::string allowed(GroupRule rule) {
    const CountRange range = countOf(rule);
    if (range.low == range.high) return std::to_string(range.low);
    if (range.high == range.low + 1) return printed("%d or %d", range.low, range.high);
    return printed("%d to %d", range.low, range.high);
}

// The rule a group breaks, in words.
std::string brokenRule(const GroupText& group, int number, const GroupCheck& check) {
    const int piece = check.position < 0 ? 0
                      : check.position < static_cast<int>(group.first.size())
                          ? group.first[check.position]
                          : group.second[check.position - group.first.size()];
    const int n = check.count;
    switch (check.rule) {
        case GroupRule::kept:
            break;
        case GroupRule::pieceRepeated:
            return printed("piece %d stands in group %d twice", piece, number);
        case GroupRule::hintPiece:
            return printed(
                "piece %d is the hint piece, which keeps its own square; no group "
                "holds it",
                piece);
        case GroupRule::cornerInSecondList:
            return printed("piece %d is a corner piece, and a second list holds none", piece);
        case GroupRule::firstListLength:
            return printed("the first list of group %d holds %d pieces; it must hold %s", number, n,
                           allowed(check.rule).c_str());
        case GroupRule::groupLength:
            return printed(
                "group %d holds %d pieces; it must hold %s, every piece but the hint "
                "piece and two corners",
                number, n, allowed(check.rule).c_str());
        case GroupRule::firstListCorners:
            return printed(
                "the first list of group %d holds %d corner pieces (0 to 3); it must "
                "hold %s",
                number, n, allowed(check.rule).c_str());
        case GroupRule::firstListEdges:
            return printed(
                "the first list of group %d holds %d edge pieces (4 to 59); it must "
                "hold %s",
                number, n, allowed(check.rule).c_str());
        case GroupRule::firstListInterior:
            return printed(
                "the first list of group %d holds %d interior pieces (60 to 255); it "
                "must hold %s",
                number, n, allowed(check.rule).c_str());
        case GroupRule::secondListEdges:
            return printed(
                "the second list of group %d holds %d edge pieces (4 to 59); it must "
                "hold %s",
                number, n, allowed(check.rule).c_str());
        case GroupRule::secondListInterior:
            return printed(
                "the second list of group %d holds %d interior pieces (60 to 255); it "
                "must hold %s",
                number, n, allowed(check.rule).c_str());
    }
    return {};
}

// The line a broken rule is reported on: the piece's own line, or that of the list counted.
int lineOfFault(const GroupText& group, const GroupCheck& check) {
    if (check.position >= 0) return group.pieceLines[check.position];
    const bool second = check.rule == GroupRule::secondListEdges ||
                        check.rule == GroupRule::secondListInterior ||
                        check.rule == GroupRule::groupLength;
    return second ? group.secondLine : group.firstLine;
}

// A word as it may be shown: its first 20 bytes, those outside printable ASCII as \xNN, so
// that the bytes of a binary file never reach the terminal as they are.
std::string shown(std::string_view word) {
    std::string text;
    for (const char c : word.substr(0, 20)) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte > ' ' && byte < 0x7f ? std::string(1, c) : printed("\\x%02x", byte);
    }
    return text + (word.size() > 20 ? "..." : "");
}

// The piece number a word of digits names (any number past 255 as 256), or -1 for a word that
// is not all digits. Leading zeros change nothing: 067 and 0067 both name piece 67.
int pieceNumber(std::string_view word) {
    if (word.find_first_not_of("0123456789") != std::string_view::npos) return -1;
    while (word.size() > 1 && word[0] == '0')
        word.remove_prefix(1);
    if (word.size() > 3) return 256;
    int value = 0;
    for (const char c : word)
        value = value * 10 + (c - '0');
    return value;
}

// The value a groups-file word gives its option: 1 for a switch, which takes none, else the
// number after '=' when it lies in the option's range.
std::optional<std::int64_t> optionValue(const SearchOptionRow& option, std::string_view word) {
    const std::size_t equals = word.find('=');
    if (option.valueName == nullptr) {
        if (equals != std::string_view::npos) return std::nullopt;
        return 1;
    }
    if (equals == std::string_view::npos) return std::nullopt;
    return numberIn(word.substr(equals + 1), option.least, option.most);
}

// What a word of the option must look like.
std::string optionValueRule(const SearchOptionRow& option) {
    if (option.valueName == nullptr) return printed("the word %s takes no value", option.word);
    return printed("the word %s takes a value, as %s=%s, a whole number from %lld to %lld",
                   option.word, option.word, option.valueName, static_cast<long long>(option.least),
                   static_cast<long long>(option.most));
}

}  // namespace

std::string parseGroups(std::string_view text, const std::string& name, RunGroups& groups) {
    const auto fault = [&name](int line, const std::string& what) {
        return line > 0 ? printed("Groups file %s, line %d: ", name.c_str(), line) + what
                        : printed("Groups file %s: ", name.c_str()) + what;
    };
    std::vector<GroupText> read;
    int offLine = 0;
    SearchOptions options;
    std::array<int, searchOptionRows.size()> optionLines{};
    GroupText* current = nullptr;
    std::vector<std::uint8_t>* list = nullptr;
    // Checks the group read last, once all of it is in.
    const auto closeGroup = [&]() -> std::string {
        if (current == nullptr) return {};
        const int number = static_cast<int>(read.size()) - 1;
        if (current->secondLine == 0)
            return fault(current->firstLine, printed("group %d has no second list", number));
        const GroupCheck check = checkGroup(current->first, current->second);
        if (check.rule != GroupRule::kept)
            return fault(lineOfFault(*current, check), brokenRule(*current, number, check));
        return {};
    };
    const auto byteAt = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const auto inWord = [](unsigned char c) { return c > ' ' && c != '#' && c != 0x7f; };
    int line = 1;
    // An editor may have put a byte-order mark in front.
    std::size_t at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (at < text.size()) {
        const unsigned char c = byteAt(at);
        // Lines end in a line feed, a carriage return and a line feed, or a carriage return
        // alone (as old editors write them).
        if (c == '\n' || (c == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'))) {
            ++line;
            ++at;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r') {
            ++at;
            continue;
        }
        if (c == '#') {
            while (at < text.size() && text[at] != '\n' && text[at] != '\r')
                ++at;
            continue;
        }
        if (!inWord(c)) return fault(line, printed("byte 0x%02x: this is not a text file", c));
        std::size_t end = at;
        while (end < text.size() && inWord(byteAt(end)))
            ++end;
        const std::string_view word = text.substr(at, end - at);
        at = end;
        const SearchOptionRow* option = optionWithWord(word.substr(0, word.find('=')));
        if ((offLine != 0 && option == nullptr) || (word == "off" && !read.empty()))
            return fault(line, "the word off stands alone in a groups file, or with option words");
        if (word == "off") {
            offLine = line;
        } else if (option != nullptr) {
            const std::size_t index = static_cast<std::size_t>(option - searchOptionRows.data());
            if (optionLines[index] != 0)
                return fault(line, printed("the word %s stands twice", option->word));
            if (!read.empty())
                return fault(line,
                             printed("the word %s stands before the first group", option->word));
            const std::optional<std::int64_t> value = optionValue(*option, word);
            if (!value) return fault(line, optionValueRule(*option));
            optionLines[index] = line;
            options.*(option->value) = *value;
        } else if (word == "first") {
            if (std::string closed = closeGroup(); !closed.empty()) return closed;
            if (read.size() == static_cast<std::size_t>(groupCount))
                return fault(line, printed("a group after the %dth; a groups file holds "
                                           "exactly %d",
                                           groupCount, groupCount));
            read.emplace_back();
            current = &read.back();
            current->firstLine = line;
            list = &current->first;
        } else if (word == "second") {
            if (current == nullptr || current->secondLine != 0)
                return fault(line, "the word second without a first list before it");
            current->secondLine = line;
            list = &current->second;
        } else {
            const int piece = pieceNumber(word);
            if (piece < 0)
                return fault(line, printed("\"%s\" is not a piece number, nor first, second or off",
                                           shown(word).c_str()));
            if (piece > 255)
                return fault(line, printed("piece number %s is past 255", shown(word).c_str()));
            if (list == nullptr)
                return fault(line,
                             "a piece number before the first list; a group begins with "
                             "the word first");
            if (list->size() == static_cast<std::size_t>(groupSize))
                return fault(line, printed("group %d holds more than %d pieces",
                                           static_cast<int>(read.size()) - 1, groupSize));
            list->push_back(static_cast<std::uint8_t>(piece));
            current->pieceLines.push_back(line);
        }
    }
    if (std::string closed = closeGroup(); !closed.empty()) return closed;
    const bool anyOption = options != SearchOptions{};
    if (offLine != 0 || (read.empty() && anyOption)) {
        // The group rules off, or the built-in groups with options.
        const RunGroups builtIn;
        groups.table = builtIn.table;
        groups.pieces = builtIn.pieces;
        groups.rules = offLine != 0 ? StepRules::noGroups : StepRules::groups;
        groups.options = options;
        groups.source = name;
        groups.tableRead = false;
        return {};
    }
    if (read.empty())
        return fault(0, printed("holds no group; it must hold %d groups, the word off or an option "
                                "word",
                                groupCount));
    if (read.size() < static_cast<std::size_t>(groupCount))
        return fault(0, printed("holds %d groups; it must hold %d", static_cast<int>(read.size()),
                                groupCount));
    for (int g = 0; g < groupCount; ++g)
        putGroup(groups, g, read[g].first, read[g].second);
    groups.rules = StepRules::groups;
    groups.options = options;
    groups.source = name;
    groups.tableRead = true;
    return {};
}

std::string readGroupsFile(const std::string& path, RunGroups& groups) {
    // At most one byte more than a groups file may hold is read, however large the file.
    std::string text;
    const FileReading reading = readRegularFile(path.c_str(), largestFile, text);
    if (reading.fault == FileReading::tooLarge)
        return "Groups file " + path + " is larger than a megabyte: it is no groups file";
    if (reading.fault == FileReading::notRegular)
        return "Groups file " + path + " cannot be read: it " + readingProblem(reading);
    if (reading.fault != FileReading::none)
        return "Groups file " + path + " cannot be read: " + std::strerror(reading.error);
    return parseGroups(text, path, groups);
}

std::string groupsFileText(const RunGroups& groups, const std::vector<std::string>& comments) {
    std::string text;
    for (const std::string& comment : comments)
        text += comment.empty() ? "#\n" : "# " + comment + "\n";
    for (const SearchOptionRow& row : searchOptionRows) {
        const std::int64_t value = groups.options.*(row.value);
        if (row.word != nullptr && value != 0) text += optionWord(row, value) + "\n";
    }
    if (groups.rules != StepRules::groups) return text + "off\n";
    // Twenty numbers to a line keep the lines short enough to read.
    const auto addList = [&text](const char* word, const std::uint8_t* pieces, int count) {
        text += word;
        for (int i = 0; i < count; ++i) {
            if (i % 20 == 0) text += "\n   ";
            text += ' ';
            text += std::to_string(pieces[i]);
        }
        text += "\n";
    };
    for (int g = 0; g < groupCount; ++g) {
        const PieceGroup& group = groups.table[g];
        text += "# group " + std::to_string(g) + "\n";
        addList("first", groups.pieces.data() + group.firstStart, group.firstCount);
        addList("second", groups.pieces.data() + group.secondStart, group.secondCount);
    }
    return text;
}
