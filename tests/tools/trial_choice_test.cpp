// The trial's choice: full boards on every seed pair first, then the median deepest depth, ties
// to the earlier candidate, with the reason in words.
#include "groups/trial_choice.h"

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

// Full boards on every seed pair or not, how many in all, and the median deepest depth.
Yield yield(bool everyPair, int fullBoards, double medianDepth) {
    Yield y;
    y.everyPair = everyPair;
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
        ChoiceCase{"NoFullBoardsTheHighestMedianDepth",
                   {yield(false, 0, 244), yield(false, 0, 229.5), yield(false, 0, 58)},
                   Candidate::derived,
                   "no candidate had full boards on every seed pair, and the highest median "
                   "deepest depth (244)"},
        // One lucky run of trapping groups finds many boards; the rules off go deeper.
        ChoiceCase{"BoardsOfOneSeedPairDoNotBeatAHigherMedianDepth",
                   {yield(false, 91, 62), yield(false, 25, 254), yield(false, 0, 61)},
                   Candidate::off,
                   "no candidate had full boards on every seed pair, and the highest median "
                   "deepest depth (254)"},
        ChoiceCase{"BoardsOnEveryPairBeatAHigherMedianDepth",
                   {yield(false, 40, 254), yield(true, 3, 200), yield(false, 0, 60)},
                   Candidate::off,
                   "the only one with full boards on every seed pair (3 in all)"},
        ChoiceCase{"TheMostBoardsOfThoseOnEveryPair",
                   {yield(true, 3, 254), yield(true, 5, 254), yield(false, 9, 254)},
                   Candidate::off,
                   "full boards on every seed pair, and the most of them (5)"},
        ChoiceCase{"EqualBoardsOnEveryPairTheDeeperOne",
                   {yield(true, 2, 240), yield(false, 0, 254), yield(true, 2, 250)},
                   Candidate::builtIn,
                   "full boards on every seed pair, as many as the derived groups (2), and the "
                   "highest median deepest depth (250)"},
        ChoiceCase{"EqualMedianDepthsTheMoreBoards",
                   {yield(false, 1, 254), yield(false, 4, 254), yield(false, 0, 200)},
                   Candidate::off,
                   "no candidate had full boards on every seed pair, and as high a median "
                   "deepest depth as the derived groups (254), and the most full boards (4)"},
        ChoiceCase{"AFullTieGoesToTheDerivedGroups",
                   {yield(false, 0, 100), yield(false, 0, 100), yield(false, 0, 100)},
                   Candidate::derived,
                   "no candidate had full boards on every seed pair, and as high a median "
                   "deepest depth as the rules off and the built-in groups (100), and as many "
                   "full boards as the rules off and the built-in groups (0); a tie goes to the "
                   "derived groups, then to the rules off"},
        ChoiceCase{"ATieBehindTheDerivedGroupsGoesToTheRulesOff",
                   {yield(true, 1, 254), yield(true, 4, 253), yield(true, 4, 253)},
                   Candidate::off,
                   "full boards on every seed pair, as many as the built-in groups (4), and as "
                   "high a median deepest depth as the built-in groups (253); a tie goes to the "
                   "derived groups, then to the rules off"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST(TrialYield, AddsTheSeedPairsAndTakesTheMedianOfTheirMedians) {
    const Yield odd = yieldOf({{100, 0, 0, 240, 6}, {100, 2, 461, 94, 7}, {100, 1, 465, 252, 5}});
    EXPECT_FALSE(odd.everyPair);
    EXPECT_EQ(odd.fullBoards, 3);
    EXPECT_EQ(odd.medianDepth, 240);
    EXPECT_EQ(odd.bestScore, 465);
    EXPECT_EQ(odd.cpuSeconds, 18);
    const Yield even = yieldOf({{100, 1, 470, 229, 1}, {100, 2, 466, 230, 1}});
    EXPECT_TRUE(even.everyPair);
    EXPECT_EQ(even.medianDepth, 229.5);
}

}  // namespace
