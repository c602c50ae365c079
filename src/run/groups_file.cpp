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

// The words of a groups file, one at a time, with the line each stands on.
struct Words {
    std::string_view text;
    std::size_t at = 0;  // where the next word is looked for
    int line = 1;
};

// Whether a byte belongs to a word: printable, and no comment's '#'.
bool inWord(unsigned char c) {
    return c > ' ' && c != '#' && c != 0x7f;
}

// The next word of `words`, past blanks, line ends and comments; empty at the end of the text
// or at a byte that no text holds, where `words.at` then stays.
std::string_view nextWord(Words& words) {
    const std::string_view text = words.text;
    std::size_t& at = words.at;
    while (at < text.size()) {
        const auto c = static_cast<unsigned char>(text[at]);
        // Lines end in a line feed, a carriage return and a line feed, or a carriage return
        // alone (as old editors write them).
        if (c == '\n' || (c == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'))) {
            ++words.line;
            ++at;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            ++at;
        } else if (c == '#') {
            while (at < text.size() && text[at] != '\n' && text[at] != '\r')
                ++at;
        } else if (!inWord(c)) {
            return {};
        } else {
            const std::size_t start = at;
            while (at < text.size() && inWord(static_cast<unsigned char>(text[at])))
                ++at;
            return text.substr(start, at - start);
        }
    }
    return {};
}

// A groups file as far as it is read: the groups, the word off, the option words.
struct GroupsReading {
    explicit GroupsReading(const std::string& file) : name(file) {}

    const std::string& name;  // the file, as messages name it
    std::vector<GroupText> read;
    int offLine = 0;  // the line of the word off, 0 without it
    SearchOptions options;
    std::array<int, searchOptionRows.size()> optionLines{};  // 0 for a word not read
    GroupText* current = nullptr;                            // the group being read
    std::vector<std::uint8_t>* list = nullptr;               // the list of it being read

    // A message for the fault `what`, on `line` (0 for the file as a whole).
    std::string fault(int line, const std::string& what) const {
        return line > 0 ? printed("Groups file %s, line %d: ", name.c_str(), line) + what
                        : printed("Groups file %s: ", name.c_str()) + what;
    }
};

// Checks the group read last, once all of it is in: the fault, or an empty text.
std::string closeGroup(const GroupsReading& reading) {
    const GroupText* group = reading.current;
    if (group == nullptr) return {};
    const int number = static_cast<int>(reading.read.size()) - 1;
    if (group->secondLine == 0)
        return reading.fault(group->firstLine, printed("group %d has no second list", number));
    const GroupCheck check = checkGroup(group->first, group->second);
    if (check.rule != GroupRule::kept)
        return reading.fault(lineOfFault(*group, check), brokenRule(*group, number, check));
    return {};
}

// Takes the word of `option` on `line`, `word` with its value if any.
std::string takeOptionWord(GroupsReading& reading, const SearchOptionRow& option,
                           std::string_view word, int line) {
    const std::size_t index = static_cast<std::size_t>(&option - searchOptionRows.data());
    if (reading.optionLines[index] != 0)
        return reading.fault(line, printed("the word %s stands twice", option.word));
    if (!reading.read.empty())
        return reading.fault(line,
                             printed("the word %s stands before the first group", option.word));
    const std::optional<std::int64_t> value = optionValue(option, word);
    if (!value) return reading.fault(line, optionValueRule(option));
    reading.optionLines[index] = line;
    reading.options[option] = *value;
    return {};
}

// Takes the word first on `line`: the group before is checked, and a new one begins.
std::string openGroup(GroupsReading& reading, int line) {
    if (std::string closed = closeGroup(reading); !closed.empty()) return closed;
    if (reading.read.size() == static_cast<std::size_t>(groupCount))
        return reading.fault(line, printed("a group after the %dth; a groups file holds exactly %d",
                                           groupCount, groupCount));
    reading.read.emplace_back();
    reading.current = &reading.read.back();
    reading.current->firstLine = line;
    reading.list = &reading.current->first;
    return {};
}

// Takes the word second on `line`: the group's second list begins.
std::string openSecondList(GroupsReading& reading, int line) {
    if (reading.current == nullptr || reading.current->secondLine != 0)
        return reading.fault(line, "the word second without a first list before it");
    reading.current->secondLine = line;
    reading.list = &reading.current->second;
    return {};
}

// Takes a word that is none of the others, which must be a piece number of the list being read.
std::string takePiece(GroupsReading& reading, std::string_view word, int line) {
    const int piece = pieceNumber(word);
    if (piece < 0)
        return reading.fault(line, printed("\"%s\" is not a piece number, nor first, second or off",
                                           shown(word).c_str()));
    if (piece > 255)
        return reading.fault(line, printed("piece number %s is past 255", shown(word).c_str()));
    if (reading.list == nullptr)
        return reading.fault(
            line, "a piece number before the first list; a group begins with the word first");
    if (reading.list->size() == static_cast<std::size_t>(groupSize))
        return reading.fault(line, printed("group %d holds more than %d pieces",
                                           static_cast<int>(reading.read.size()) - 1, groupSize));
    reading.list->push_back(static_cast<std::uint8_t>(piece));
    reading.current->pieceLines.push_back(line);
    return {};
}

// Takes one word of the file, read on `line`: the fault, or an empty text.
std::string takeWord(GroupsReading& reading, std::string_view word, int line) {
    const SearchOptionRow* option = optionWithWord(word.substr(0, word.find('=')));
    if ((reading.offLine != 0 && option == nullptr) || (word == "off" && !reading.read.empty()))
        return reading.fault(line,
                             "the word off stands alone in a groups file, or with option words");
    if (word == "off") {
        reading.offLine = line;
        return {};
    }
    if (option != nullptr) return takeOptionWord(reading, *option, word, line);
    if (word == "first") return openGroup(reading, line);
    if (word == "second") return openSecondList(reading, line);
    return takePiece(reading, word, line);
}

// Puts what a whole file gave into `groups`: the rules off, the built-in groups with options,
// or the groups read; the fault, or an empty text.
std::string takeGroups(const GroupsReading& reading, RunGroups& groups) {
    const bool anyOption = reading.options != SearchOptions{};
    if (reading.offLine != 0 || (reading.read.empty() && anyOption)) {
        const RunGroups builtIn;
        groups.table = builtIn.table;
        groups.pieces = builtIn.pieces;
        groups.rules = reading.offLine != 0 ? StepRules::noGroups : StepRules::groups;
        groups.tableRead = false;
    } else if (reading.read.empty()) {
        return reading.fault(0, printed("holds no group; it must hold %d groups, the word off or "
                                        "an option word",
                                        groupCount));
    } else if (reading.read.size() < static_cast<std::size_t>(groupCount)) {
        return reading.fault(0, printed("holds %d groups; it must hold %d",
                                        static_cast<int>(reading.read.size()), groupCount));
    } else {
        for (int g = 0; g < groupCount; ++g)
            putGroup(groups, g, reading.read[g].first, reading.read[g].second);
        groups.rules = StepRules::groups;
        groups.tableRead = true;
    }
    groups.options = reading.options;
    groups.source = reading.name;
    return {};
}

}  // namespace

std::string parseGroups(std::string_view text, const std::string& name, RunGroups& groups) {
    GroupsReading reading(name);
    // An editor may have put a byte-order mark in front.
    Words words{text, text.starts_with("\xEF\xBB\xBF") ? 3u : 0u};
    for (std::string_view word = nextWord(words); !word.empty(); word = nextWord(words))
        if (std::string fault = takeWord(reading, word, words.line); !fault.empty()) return fault;
    if (words.at < text.size())
        return reading.fault(words.line, printed("byte 0x%02x: this is not a text file",
                                                 static_cast<unsigned char>(text[words.at])));
    if (std::string closed = closeGroup(reading); !closed.empty()) return closed;
    return takeGroups(reading, groups);
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
        const std::int64_t value = groups.options[row];
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
