// The companion programs' option table: what it reads, what it refuses, and the help it writes.
#include "base/option_table.h"

#include <gtest/gtest.h>

#include <array>

namespace {

constexpr std::array<OptionSpec, 2> table{{{"--seed", "N", "the seed"}, {"-q", nullptr, "quiet"}}};

}  // namespace

TEST(OptionTable, ReadsOptionsValuesAndOperandsAndRefusesTheRest) {
    std::string problem;
    const auto given =
        parseOptions({"-q", "a", "--seed", "-5", "-", "--seed", "7", "--", "-q"}, table, problem);
    ASSERT_TRUE(given) << problem;
    EXPECT_TRUE(given->has("-q"));
    EXPECT_EQ(given->value("--seed"), "7");
    EXPECT_EQ(given->operands, (std::vector<std::string>{"a", "-", "-q"}));
    EXPECT_FALSE(given->value("--other"));

    for (const auto& [arguments, expected] :
         {std::pair{std::vector<std::string>{"--quiet"}, "unknown option --quiet"},
          {{"x", "--seed"}, "option --seed needs a value (N)"}}) {
        EXPECT_FALSE(parseOptions(arguments, table, problem));
        EXPECT_EQ(problem, expected);
    }
    EXPECT_EQ(numberIn("12", 1, 12), 12);
    for (const char* bad : {"", "13", "0", "+5", "1x", " 1", "99999999999999999999"})
        EXPECT_FALSE(numberIn(bad, 1, 12)) << bad;
    EXPECT_EQ(optionsHelp("usage: p [--seed N] [-q]\n", table),
              "usage: p [--seed N] [-q]\n\n  --seed N  the seed\n  -q        quiet\n");
}
