// Checkpoints: every ten billion nodes a run saves and reports its statistics and goes on
// only while it keeps finding full boards.
#include <gtest/gtest.h>

#include "base/program_state.h"
#include "base/settings.h"
#include "results/full_boards.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "run/current_run.h"
#include "run/resets.h"
#include "run/run_budget.h"
#include "run/run_loop.h"
#include "search/search_state.h"
#include "tests/test_support.h"

namespace {

constexpr std::int64_t tenBillion = 10'000'000'000;

class Checkpoint : public testing::Test {
protected:
    void SetUp() override {
        resetProgram();
        program.settings.writeFiles = false;
        search.deepestReached = 256;
        search.depthVisits[0] = 0;
        search.depthVisits[166] = 1'000;
    }
    // Calls the budget check at `nodes` with `newBoards` found since the last checkpoint;
    // returns what it printed after the report and whether the run goes on.
    std::pair<std::string, bool> checkAt(std::int64_t nodes, int newBoards) {
        results.fullBoards.count = currentRun.budget.fullBoardsAtCheckpoint + newBoards;
        search.nodeCount = nodes;
        ConsoleCapture console;
        bool goesOn = true;
        try {
            checkRunBudget();
        } catch (const RunStopped&) {
            goesOn = false;
        }
        const std::string out = console.out();
        const std::size_t rule = out.rfind("-----\n");
        return {rule == std::string::npos ? out : out.substr(rule + 6), goesOn};
    }
};

}  // namespace

TEST_F(Checkpoint, FirstCheckpointEndsARunWithFiveNewBoardsAndKeepsOneWithSix) {
    EXPECT_EQ(checkAt(tenBillion + 1, 5), (std::pair<std::string, bool>{"):\n", false}));
    EXPECT_EQ(results.statistics.sinceStart.nodes, tenBillion + 1) << "saved before the report";
    SetUp();
    EXPECT_EQ(checkAt(tenBillion + 1, 6), (std::pair<std::string, bool>{"", true}));
    EXPECT_EQ(currentRun.budget.checkpointNodes, tenBillion + 1);
    EXPECT_EQ(currentRun.budget.fullBoardsAtCheckpoint, 6);
    EXPECT_EQ(checkAt(tenBillion + 2, 50), (std::pair<std::string, bool>{"", true}))
        << "no second checkpoint before another ten billion nodes";
}

TEST_F(Checkpoint, LaterCheckpointsAskForMoreThanFortyNewBoards) {
    ASSERT_TRUE(checkAt(tenBillion + 1, 6).second);
    EXPECT_EQ(checkAt(2 * tenBillion + 2, 41), (std::pair<std::string, bool>{"(:\n", true}));
    EXPECT_EQ(checkAt(3 * tenBillion + 3, 40), (std::pair<std::string, bool>{"", false}));
    SetUp();
    ASSERT_TRUE(checkAt(tenBillion + 1, 6).second);
    EXPECT_EQ(checkAt(2 * tenBillion + 2, 3), (std::pair<std::string, bool>{"):\n", false}));
}

TEST_F(Checkpoint, LongRunsShowTheirSizeInTensOfBillions) {
    currentRun.budget.checkpointNodes = 4 * tenBillion;
    EXPECT_EQ(checkAt(5 * tenBillion + 5, 41), (std::pair<std::string, bool>{"(: x 5\n", true}));
}

TEST_F(Checkpoint, AStopRequestEndsTheRunAtItsNextCheckWithoutAMark) {
    search.nodeCount = 1'000;
    requestRunStop();
    ConsoleCapture console;
    EXPECT_THROW(checkRunBudget(), RunStopped);
    runSignals.stopRequested = false;
    resetRunBudget();
    EXPECT_EQ(runSignals.budgetAttention, 40'000'000);
    EXPECT_EQ(console.out(), "");
    EXPECT_EQ(results.statistics.sinceStart.nodes, 1'000) << "the stopped run's nodes are counted";
}
