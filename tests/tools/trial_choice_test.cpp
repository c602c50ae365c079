// The trial's choice: of the candidates within five of the highest median deepest depth, the
// most full boards on the median seed pair, ties to the earlier candidate, with the reason.
#include "tools/groups/trial_choice.h"

#include <gtest/gtest.h>

namespace {

struct ChoiceCase {
    const char* name;
    std::array<Yield, 3> yields;  // derived groups, rules off, built-in groups
    Candidate chosen;
    const char* reason;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

// Full boards on the median seed pair, in all, and the median deepest depth.
Yield yield(double medianBoards, int fullBoards, double medianDepth) {
    Yield y;
    y.medianBoards = medianBoards;
    y.fullBoards = fullBoards;
    y.medianDepth = medianDepth;
    return y;
}

class TrialChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(TrialChoice, ChoosesTheBestYieldAndSaysWhy) {
    const ChoiceCase& c = GetParam();
    const Choice choice = chooseCandidate(c.yields);
    EXPECT_EQ(candidateName(choice.chosen), std::string(candidateName(c.chosen)));
    EXPECT_EQ(choice.reason, c.reason);
}

INSTANTIATE_TEST_SUITE_P(
    Trial, TrialChoice,
    testing::Values(
        ChoiceCase{"TheHighestMedianDepthAlone",
                   {yield(0, 0, 244), yield(0, 0, 229.5), yield(0, 0, 58)},
                   Candidate::derived,
                   "the highest median deepest depth (244), the others more than 5 below it"},
        // One lucky run of trapping groups finds many boards; the rules off go deeper.
        ChoiceCase{"BoardsOfFewRunsDoNotBeatAHigherMedianDepth",
                   {yield(6, 16, 157), yield(0, 2, 252), yield(0, 0, 61)},
                   Candidate::off,
                   "the highest median deepest depth (252), the others more than 5 below it"},
        ChoiceCase{"WithinFiveTheMostBoardsOnTheMedianPair",
                   {yield(10, 143, 250), yield(32, 109, 254), yield(0, 8, 62)},
                   Candidate::off,
                   "a median deepest depth (254) within 5 of the highest, as the derived groups "
                   "had, and the most full boards on the median seed pair (32)"},
        ChoiceCase{"WithinFiveTheSlightlyShallowerOneWithBoards",
                   {yield(0, 40, 254), yield(1, 3, 249), yield(0, 0, 60)},
                   Candidate::off,
                   "a median deepest depth (249) within 5 of the highest, as the derived groups "
                   "had, and the most full boards on the median seed pair (1)"},
        ChoiceCase{"EqualMedianBoardsTheMoreInAll",
                   {yield(0, 1, 254), yield(0, 4, 251), yield(0, 0, 200)},
                   Candidate::off,
                   "a median deepest depth (251) within 5 of the highest, as the derived groups "
                   "had, and as many full boards on the median seed pair as the derived groups "
                   "(0), and the most full boards in all (4)"},
        ChoiceCase{"WithoutBoardsTheDeeperOfTheLevelOnes",
                   {yield(0, 0, 230), yield(0, 0, 226), yield(0, 0, 57)},
                   Candidate::derived,
                   "a median deepest depth (230) within 5 of the highest, as the rules off had, "
                   "and as many full boards on the median seed pair as the rules off (0), and as "
                   "many full boards in all as the rules off (0), and the higher median deepest "
                   "depth"},
        ChoiceCase{"AFullTieGoesToTheDerivedGroups",
                   {yield(0, 0, 100), yield(0, 0, 100), yield(0, 0, 100)},
                   Candidate::derived,
                   "a median deepest depth (100) within 5 of the highest, as the rules off and "
                   "the built-in groups had, and as many full boards on the median seed pair as "
                   "the rules off and the built-in groups (0), and as many full boards in all as "
                   "the rules off and the built-in groups (0), and as high a median deepest depth "
                   "as the rules off and the built-in groups; a tie goes to the derived groups, "
                   "then to the rules off"},
        ChoiceCase{"ATieBehindTheDerivedGroupsGoesToTheRulesOff",
                   {yield(1, 3, 254), yield(2, 6, 253), yield(2, 6, 253)},
                   Candidate::off,
                   "a median deepest depth (253) within 5 of the highest, as the derived groups "
                   "and the built-in groups had, and as many full boards on the median seed pair "
                   "as the built-in groups (2), and as many full boards in all as the built-in "
                   "groups (6), and as high a median deepest depth as the built-in groups; a tie "
                   "goes to the derived groups, then to the rules off"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST(TrialYield, AddsTheSeedPairsAndTakesTheMedianOfTheirMedians) {
    const Yield odd = yieldOf({{100, 0, 0, 240, 6}, {100, 2, 461, 94, 7}, {100, 1, 465, 252, 5}});
    EXPECT_EQ(odd.medianBoards, 1);
    EXPECT_EQ(odd.fullBoards, 3);
    EXPECT_EQ(odd.medianDepth, 240);
    EXPECT_EQ(odd.bestScore, 465);
    EXPECT_EQ(odd.cpuSeconds, 18);
    const Yield even = yieldOf({{100, 1, 470, 229, 1}, {100, 2, 466, 230, 1}});
    EXPECT_EQ(even.medianBoards, 1.5);
    EXPECT_EQ(even.medianDepth, 229.5);
}

}  // namespace
