// The option table: what it reads, what it refuses and in which words, and the help it writes.
#include "base/option_table.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

namespace {

constexpr std::array<OptionRow, 5> table{{
    numberOption("--count", "N", -3, 12, "how many"),
    seedPairOption("--seeds", "the seeds"),
    pathOption("--out", "FILE", "where", 8),
    flagOption("-q", "quiet"),
    nodeTotalOption("--nodes",
                    "a long help text that the help wraps onto a second line, "
                    "indented under the first"),
}};

}  // namespace

TEST(OptionTable, ReadsEachKindOfValueAndTheOperands) {
    std::string problem;
    const auto given = parseOptions({"-q", "a", "--count", "-3", "-", "--count", "7", "--seeds",
                                     "4294967295,0", "--out", "-x", "--", "-q"},
                                    table, problem);
    ASSERT_TRUE(given) << problem;
    EXPECT_TRUE(given->has("-q"));
    EXPECT_EQ(given->number("--count"), 7);
    EXPECT_EQ(given->seedPair("--seeds"), (std::array<std::uint32_t, 2>{4294967295u, 0}));
    EXPECT_EQ(given->text("--out"), "-x");
    EXPECT_EQ(given->operands, (std::vector<std::string>{"a", "-", "-q"}));
    EXPECT_FALSE(given->number("--nodes"));
}

TEST(OptionTable, RefusesEachFaultInOneWording) {
    const struct {
        std::vector<std::string> arguments;
        const char* problem;
    } cases[] = {
        {{"--quiet"}, "unknown option --quiet"},
        {{"x", "--count"}, "--count takes a whole number from -3 to 12; none follows it"},
        {{"--count", "13"}, "--count takes a whole number from -3 to 12, not '13'"},
        {{"--count", "+5"}, "--count takes a whole number from -3 to 12, not '+5'"},
        {{"--count", "1\x1b"}, "--count takes a whole number from -3 to 12, not '1\\x1b'"},
        {{"--seeds", "1"},
         "--seeds takes two whole numbers MAIN,GROUP from 0 to 4294967295, not '1'"},
        {{"--seeds", "1,4294967296"},
         "--seeds takes two whole numbers MAIN,GROUP from 0 to 4294967295, not '1,4294967296'"},
        {{"--out", ""}, "--out takes a path of 1 to 8 bytes, not ''"},
        {{"--out", "123456789"}, "--out takes a path of 1 to 8 bytes, not '123456789'"},
    };
    for (const auto& c : cases) {
        std::string problem;
        EXPECT_FALSE(parseOptions(c.arguments, table, problem)) << c.problem;
        EXPECT_EQ(problem, c.problem);
    }
    for (const char* bad : {"", "13", "-4", "1x", " 1", "99999999999999999999"})
        EXPECT_FALSE(numberIn(bad, -3, 12)) << bad;
}

TEST(OptionTable, HelpAndUsageWrapTo80ColumnsKeepingBracketedPartsWhole) {
    constexpr std::array<const char*, 2> forms{
        "[--count N] [--seeds MAIN,GROUP] [--out FILE] [-q] [--nodes N] [--a-long-option "
        "VALUE] [--another VALUE] OPERAND",
        "-q"};
    const CommandLine line{"prog", forms, "About it.", table};
    EXPECT_EQ(usageText(line),
              "usage: prog [--count N] [--seeds MAIN,GROUP] [--out FILE] [-q] [--nodes N]\n"
              "            [--a-long-option VALUE] [--another VALUE] OPERAND\n"
              "       prog -q\n");
    const std::string help = helpText(line);
    EXPECT_EQ(help.substr(usageText(line).size()),
              "\nAbout it.\n\n"
              "  --count N           how many\n"
              "  --seeds MAIN,GROUP  the seeds\n"
              "  --out FILE          where\n"
              "  -q                  quiet\n"
              "  --nodes N           a long help text that the help wraps onto a second line,\n"
              "                      indented under the first\n");
}
