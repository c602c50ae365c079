// The trial's choice: full boards on the median seed pair first, then the median deepest depth,
// ties to the earlier candidate, with the reason in words.
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
        ChoiceCase{"NoFullBoardsTheHighestMedianDepth",
                   {yield(0, 0, 244), yield(0, 0, 229.5), yield(0, 0, 58)},
                   Candidate::derived,
                   "no candidate had full boards on most seed pairs, and the highest median "
                   "deepest depth (244)"},
        // One lucky run of trapping groups finds many boards; the rules off go deeper.
        ChoiceCase{"BoardsOfOneSeedPairDoNotBeatAHigherMedianDepth",
                   {yield(0, 91, 62), yield(0, 25, 254), yield(0, 0, 61)},
                   Candidate::off,
                   "no candidate had full boards on most seed pairs, and the highest median "
                   "deepest depth (254)"},
        // More boards in all, from one lucky seed pair, lose to more on the median pair.
        ChoiceCase{"TheMostBoardsOnTheMedianPair",
                   {yield(10, 143, 102), yield(32, 109, 254), yield(0, 8, 62)},
                   Candidate::off,
                   "the most full boards on the median seed pair (32)"},
        ChoiceCase{"BoardsOnTheMedianPairBeatAHigherMedianDepth",
                   {yield(0, 40, 254), yield(1, 3, 200), yield(0, 0, 60)},
                   Candidate::off,
                   "the most full boards on the median seed pair (1)"},
        ChoiceCase{"EqualBoardsOnTheMedianPairTheDeeperOne",
                   {yield(2, 6, 240), yield(0, 0, 254), yield(2, 5, 250)},
                   Candidate::builtIn,
                   "as many full boards on the median seed pair as the derived groups (2), and "
                   "the highest median deepest depth (250)"},
        ChoiceCase{"EqualMedianDepthsTheMoreBoards",
                   {yield(0, 1, 254), yield(0, 4, 254), yield(0, 0, 200)},
                   Candidate::off,
                   "no candidate had full boards on most seed pairs, and as high a median "
                   "deepest depth as the derived groups (254), and the most full boards (4)"},
        ChoiceCase{"AFullTieGoesToTheDerivedGroups",
                   {yield(0, 0, 100), yield(0, 0, 100), yield(0, 0, 100)},
                   Candidate::derived,
                   "no candidate had full boards on most seed pairs, and as high a median "
                   "deepest depth as the rules off and the built-in groups (100), and as many "
                   "full boards as the rules off and the built-in groups (0); a tie goes to the "
                   "derived groups, then to the rules off"},
        ChoiceCase{"ATieBehindTheDerivedGroupsGoesToTheRulesOff",
                   {yield(1, 3, 254), yield(2, 6, 253), yield(2, 6, 253)},
                   Candidate::off,
                   "as many full boards on the median seed pair as the built-in groups (2), and "
                   "as high a median deepest depth as the built-in groups (253), and as many full "
                   "boards as the built-in groups (6); a tie goes to the derived groups, then to "
                   "the rules off"}),
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
