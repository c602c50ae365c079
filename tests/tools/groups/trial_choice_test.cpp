// The trial's choice: by full boards per CPU-minute once some setting found them on two seed
// pairs, else by runs reaching depth 248 per CPU-minute and then the median deepest depth;
// ties to the first named, with the reason.
#include "tools/groups/trial_choice.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// Full boards, on how many seed pairs, runs reaching 248 and the median deepest depth, in a
// CPU-minute.
Yield yield(std::int64_t boards, int pairsWithBoards, std::int64_t deepRuns, double depth) {
    Yield y;
    y.fullBoards = boards;
    y.pairsWithBoards = pairsWithBoards;
    y.deepRuns = deepRuns;
    y.medianDepth = depth;
    y.cpuSeconds = 60;
    return y;
}

struct ChoiceCase {
    const char* name;
    std::vector<Yield> yields;  // derived groups, rules off, built-in groups
    std::size_t chosen;
    bool tie;
    const char* reason;
};
void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

class TrialChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(TrialChoice, ChoosesTheBestYieldAndSaysWhy) {
    const ChoiceCase& c = GetParam();
    const Choice choice = chooseYield(c.yields, {"derived groups", "rules off", "built-in groups"});
    EXPECT_EQ(choice.chosen, c.chosen);
    EXPECT_EQ(choice.tie, c.tie);
    EXPECT_EQ(choice.reason, c.reason);
}

INSTANTIATE_TEST_SUITE_P(
    Trial, TrialChoice,
    testing::Values(
        ChoiceCase{"BoardsOnTwoPairsDecideByBoardsPerMinute",
                   {yield(20, 1, 2, 240), yield(9, 2, 30, 252), yield(0, 0, 0, 58)},
                   0,
                   false,
                   "the most full boards per CPU-minute"},
        // One lucky run finds many boards; the other setting's runs go deep more often.
        ChoiceCase{"BoardsOfOneLuckyPairDoNotCount",
                   {yield(16, 1, 3, 157), yield(2, 1, 12, 252), yield(0, 0, 0, 61)},
                   1,
                   false,
                   "the most runs reaching depth 248 per CPU-minute, no setting having found "
                   "full boards on 2 seed pairs"},
        ChoiceCase{"LevelDeepRunsTheHigherMedianDepth",
                   {yield(0, 0, 0, 234), yield(0, 0, 0, 230), yield(0, 0, 0, 57)},
                   0,
                   false,
                   "as many runs reaching depth 248 per CPU-minute as the rules off and the "
                   "built-in groups, and the higher median deepest depth (234), no setting having "
                   "found full boards on 2 seed pairs"},
        ChoiceCase{"AFullTieGoesToTheFirstNamed",
                   {yield(0, 0, 4, 100), yield(0, 0, 4, 100), yield(0, 0, 1, 100)},
                   0,
                   true,
                   "as many runs reaching depth 248 per CPU-minute as the rules off, and as "
                   "high a median deepest depth (100), no setting having found full boards on 2 "
                   "seed pairs; a tie with the rules off goes to the first named"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST(TrialOption, IsWrittenWhenBetterAndAKeptWordStaysUnlessWorse) {
    const Yield plain = yield(0, 0, 4, 240);
    constexpr TrialFigure byYield = TrialFigure::yield;
    constexpr TrialFigure byBoards = TrialFigure::fullBoards;
    const struct {
        Yield with;
        std::int64_t kept;
        TrialFigure figure;
        std::int64_t written;
        const char* said;
    } cases[] = {
        {yield(0, 0, 6, 240), 0, byYield, 1, "written"},
        {yield(0, 0, 4, 240), 0, byYield, 0, "not written"},
        {yield(0, 0, 3, 250), 0, byYield, 0, "not written"},
        {yield(0, 0, 4, 240), 1, byYield, 1,
         "kept, as the file replaced had it, the trial measuring it no worse"},
        {yield(0, 0, 6, 240), 1, byYield, 1, "kept, as the file replaced had it"},
        {yield(0, 0, 3, 250), 1, byYield, 0,
         "dropped, though the file replaced had it: the trial measured it worse"},
        // Judged by full boards alone: deep runs tell nothing, boards on two pairs decide.
        {yield(0, 0, 6, 240), 0, byBoards, 0, "not written"},
        {yield(0, 0, 1, 240), 1, byBoards, 1,
         "kept, as the file replaced had it, the trial telling nothing of it"},
        {yield(5, 2, 1, 240), 0, byBoards, 1, "written"},
    };
    for (const auto& c : cases) {
        const OptionVerdict verdict =
            judgeOption(plain, c.with, 1, c.kept, "rules off alone", "rim look-ahead", c.figure);
        EXPECT_EQ(verdict.value, c.written) << c.said;
        EXPECT_EQ(verdict.said, c.said);
    }
}

TEST(TrialYield, AddsTheSeedPairsAndTakesTheMedianOfTheirMedians) {
    std::vector<YieldRow> pairs(3);
    const double medians[] = {240, 94, 252.5};
    for (int i = 0; i < 3; ++i) {
        pairs[i].fullBoards = i;
        pairs[i].bestScore = i == 0 ? 0 : 460 + i;
        pairs[i].runsReaching[bandIndex(deepRunDepth)] = 2 * i;
        pairs[i].medianDepth = medians[i];
        pairs[i].cpuSeconds = 20;
    }
    const Yield y = yieldOf(pairs);
    EXPECT_EQ(y.fullBoards, 3);
    EXPECT_EQ(y.pairsWithBoards, 2);
    EXPECT_EQ(y.deepRuns, 6);
    EXPECT_EQ(y.medianDepth, 240);
    EXPECT_EQ(y.bestScore, 462);
    EXPECT_DOUBLE_EQ(y.boardsPerMinute(), 3);
}

}  // namespace
