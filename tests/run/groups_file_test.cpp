// The groups file: what tessaly-groups writes reads back as the same groups, and every file
// that breaks a rule is refused with the line and the rule named.
#include "run/groups_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "run/piece_groups.h"
#include "tests/test_support.h"

namespace {

// The built-in groups as a groups file: 60 groups of two lists, 20 numbers to a line.
std::string builtInText() {
    return groupsFileText(RunGroups{}, {"the built-in groups"});
}

// `text` with its `n`-th occurrence (from 0) of `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to, int n = 0) {
    std::size_t at = text.find(from);
    while (n-- > 0 && at != std::string::npos)
        at = text.find(from, at + 1);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

}  // namespace

TEST(GroupsFile, WrittenGroupsReadBackAsTheSameGroups) {
    RunGroups read;
    read.rules = StepRules::noGroups;
    ASSERT_EQ(parseGroups(builtInText(), "g.txt", read), "");
    EXPECT_EQ(read.rules, StepRules::groups);
    EXPECT_EQ(read.table, builtInGroups().table);
    EXPECT_EQ(read.pieces, builtInGroups().pieces);
    EXPECT_EQ(read.source, "g.txt");
    // Leading zeros and old Mac line ends (a carriage return alone) read as anything else does.
    std::string oldMac = replaced(builtInText(), " 99 ", " 0099 ");
    std::replace(oldMac.begin(), oldMac.end(), '\n', '\r');
    RunGroups readOldMac;
    ASSERT_EQ(parseGroups(oldMac, "g.txt", readOldMac), "");
    EXPECT_EQ(readOldMac.table, builtInGroups().table);
    EXPECT_EQ(readOldMac.pieces, builtInGroups().pieces);
    EXPECT_NE(parseGroups(replaced(oldMac, " 0099 ", " 85 "), "g.txt", readOldMac)
                  .find("line 4: piece 85 stands in group 0 twice"),
              std::string::npos);

    RunGroups off;
    off.rules = StepRules::noGroups;
    RunGroups readOff;
    ASSERT_EQ(
        parseGroups("\xEF\xBB\xBF# rules off\r\n  off  # for this puzzle\n", "g.txt", readOff), "");
    EXPECT_EQ(readOff.rules, StepRules::noGroups);
    EXPECT_EQ(parseGroups(groupsFileText(off, {}), "g.txt", readOff), "");
}

TEST(GroupsFile, AFaultyFileIsRefusedNamingTheLineAndTheRule) {
    const std::string good = builtInText();
    // Group 0's first list begins on line 3 ("first"), its numbers on line 4 ("2 0 99 85
    // ..."); its second list begins on line 12 ("second"), its numbers "15 28 36 145 146".
    struct Case {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "holds no group; it must hold 60 groups, the word off or an option word"},
        {"# only a comment\n\n", "holds no group"},
        {std::string("first 1\0 2", 10), "line 1: byte 0x00: this is not a text file"},
        {replaced(good, " 99 ", " 85 "), "line 4: piece 85 stands in group 0 twice"},
        {replaced(good, " 99 ", " 138 "), "line 4: piece 138 is the hint piece"},
        {replaced(good, " 99 ", " 256 "), "line 4: piece number 256 is past 255"},
        {replaced(good, " 99 ", " 9x9 "), "line 4: \"9x9\" is not a piece number"},
        {replaced(good, " 99 ", " -99 "), "line 4: \"-99\" is not a piece number"},
        {replaced(good, " 99 ",
                  " 9\xff\xfe"
                  "9 "),
         "line 4: \"9\\xff\\xfe"
         "9\" is not a piece"},
        {replaced(good, " 99 ", " 00256 "), "line 4: piece number 00256 is past 255"},
        {replaced(good, " 15 28 ", " 15 3 "), "piece 3 is a corner piece, and a second list"},
        {replaced(good, " 99 ", " "), "line 12: group 0 holds 252 pieces; it must hold 253"},
        {replaced(replaced(good, " 99 ", " 99 15 "), "    15 28 ", "    28 "),
         "line 3: the first list of group 0 holds 151 pieces; it must hold 149 or 150"},
        {replaced(replaced(good, " 8 59 ", " 145 59 "), " 36 145 146 ", " 36 8 146 "),
         "line 3: the first list of group 0 holds 21 edge pieces (4 to 59); it must hold 22"},
        {replaced(good, "second", "\n"), "group 0 has no second list"},
        {replaced(good, "first", "off"), "the word off stands alone"},
        {"off first", "line 1: the word off stands alone in a groups file, or with option words"},
        {"scarcity=-400\noff scarcity=200", "line 2: the word scarcity stands twice"},
        {"scarcity\n",
         "line 1: the word scarcity takes a value, as scarcity=W, a whole number "
         "from -1000 to 1000"},
        {"off scarcity=-1001", "line 1: the word scarcity takes a value"},
        {"off scarcity=4x", "line 1: the word scarcity takes a value"},
        {"rim-look-ahead=1", "line 1: the word rim-look-ahead takes no value"},
        {"rim-look-ahead\noff rim-look-ahead", "line 2: the word rim-look-ahead stands twice"},
        {good + "rim-look-ahead", "the word rim-look-ahead stands before the first group"},
        {"7 first", "line 1: a piece number before the first list"},
        {"second 7", "line 1: the word second without a first list"},
        {good + "first 0 second 4\n", "a group after the 60th; a groups file holds exactly 60"},
        {good.substr(0, good.find("# group 59")), "holds 59 groups; it must hold 60"},
    };
    for (const Case& c : cases) {
        RunGroups read;
        const std::string fault = parseGroups(c.text, "k7groups.txt", read);
        EXPECT_NE(fault.find("Groups file k7groups.txt"), std::string::npos) << fault;
        EXPECT_NE(fault.find(c.message), std::string::npos) << fault;
        EXPECT_EQ(read.table, builtInGroups().table) << "a refused file changes nothing";
    }
    // However long the path, the message names the line.
    const std::string longName(1000, 'd');
    RunGroups read;
    EXPECT_NE(parseGroups(replaced(good, " 99 ", " 85 "), longName, read)
                  .find(longName + ", line 4: piece 85 stands in group 0 twice"),
              std::string::npos);
}

TEST(GroupsFile, OptionWordsComeAloneWithOffOrBeforeTheGroupsAndAreWrittenBack) {
    struct Form {
        std::string text;
        StepRules rules;
        bool tableRead;
        SearchOptions options;
    } forms[] = {
        {"rim-look-ahead\n", StepRules::groups, false, SearchOptions{}.with<RimLookAheadOption>(1)},
        {"off rim-look-ahead\n", StepRules::noGroups, false,
         SearchOptions{}.with<RimLookAheadOption>(1)},
        {"rim-look-ahead # and\noff\n", StepRules::noGroups, false,
         SearchOptions{}.with<RimLookAheadOption>(1)},
        {"rim-look-ahead\n" + builtInText(), StepRules::groups, true,
         SearchOptions{}.with<RimLookAheadOption>(1)},
        {"scarcity=-400 rim-look-ahead\noff", StepRules::noGroups, false,
         SearchOptions{}.with<RimLookAheadOption>(1).with<ScarcityOption>(-400)},
        {"scarcity=1000\n" + builtInText(), StepRules::groups, true,
         SearchOptions{}.with<ScarcityOption>(1000)},
    };
    for (const Form& form : forms) {
        RunGroups read;
        ASSERT_EQ(parseGroups(form.text, "g.txt", read), "") << form.text;
        EXPECT_EQ(read.options, form.options) << form.text;
        EXPECT_EQ(read.rules, form.rules) << form.text;
        EXPECT_EQ(read.tableRead, form.tableRead) << form.text;
        EXPECT_EQ(read.table, builtInGroups().table) << form.text;
        RunGroups again;
        ASSERT_EQ(parseGroups(groupsFileText(read, {}), "g.txt", again), "");
        EXPECT_EQ(again.options, form.options) << form.text;
        EXPECT_EQ(again.rules, form.rules) << form.text;
    }
    RunGroups without;
    ASSERT_EQ(parseGroups(builtInText(), "g.txt", without), "");
    EXPECT_FALSE(without.options.of<RimLookAheadOption>());
}
