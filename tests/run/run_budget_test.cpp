#include "run/run_budget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "base/program_state.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/list_editing.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "results/full_boards.h"
#include "results/results_state.h"
#include "run/current_run.h"
#include "run/resets.h"
#include "search/depth_windows.h"
#include "search/search_options.h"
#include "search/search_state.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

constexpr std::int64_t million = 1'000'000;
constexpr std::int64_t billion = 1'000'000'000;

// A fresh run as the run thread starts it: no nodes yet, depth 0 entered once, no deep
// depth entered, never 250 pieces on the board, the budget reset. The console is captured.
class RunBudget : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgram();
        // A run ended by the budget saves its statistics: here in memory only, as the bench's
        // runs do, so that the thousands of runs the quick check ends touch no disk.
        program.settings.writeFiles = false;
        search.depthVisits[0] = 0;
    }

    // Places the search at node count `n` and checks the budget there, as a search step
    // does after a placement; false when the check ended the run.
    bool checkAt(std::int64_t n) {
        search.nodeCount = n;
        try {
            checkRunBudget();
        } catch (const RunStopped&) {
            return false;
        }
        return true;
    }

    // Checks the budget every `step` nodes from `from` up to and including `to`; the node
    // count at which the run ended, or nothing when it went on throughout.
    std::optional<std::int64_t> climb(std::int64_t from, std::int64_t to, std::int64_t step) {
        for (std::int64_t n = from;; n = std::min(n + step, to)) {
            if (!checkAt(n)) return n;
            if (n == to) return std::nullopt;
        }
    }

    // Everything printed since the last call.
    std::string newOutput() {
        const std::string all = console.out();
        const std::string fresh = all.substr(seen);
        seen = all.size();
        return fresh;
    }

    // Depths 160 to 170 entered `visits` + 1 times at `depth` and once at every other one,
    // so that `depth` is the busiest deep depth.
    void concentrateAt(int depth, std::int64_t visits = 50) {
        for (int d = firstCountedVisitDepth; d <= lastCountedVisitDepth; ++d)
            search.depthVisits[d] = 0;
        search.depthVisits[depth] = visits;
    }

    ConsoleCapture console;
    std::size_t seen = 0;
};

// --- Early failure: no 250-piece board within earlyFailureNodes ---

TEST_F(RunBudget, RunThatNeverHadTwoHundredFiftyPiecesGoesOnUpToTheEarlyFailureCheck) {
    EXPECT_EQ(climb(1, earlyFailureNodes, 997), std::nullopt);
    EXPECT_EQ(newOutput(), "");
}

TEST_F(RunBudget, RunThatNeverHadTwoHundredFiftyPiecesEndsWithDashJustPastTheEarlyFailureCheck) {
    ASSERT_EQ(climb(1, earlyFailureNodes, 997), std::nullopt);
    EXPECT_FALSE(checkAt(earlyFailureNodes + 1));
    EXPECT_EQ(newOutput(), "-");
    EXPECT_EQ(currentRun.budget.end, RunEnd::earlyFailure);
}

TEST_F(RunBudget, EarlyFailureStrikesAtTheFirstCheckPastItsNodesEvenAfterAJump) {
    ASSERT_EQ(climb(1, earlyFailureNodes - million, 100'003), std::nullopt);
    EXPECT_FALSE(checkAt(75 * million));
    EXPECT_EQ(newOutput(), "-");
}

TEST_F(RunBudget, RunThatHadTwoHundredFiftyPiecesIsNotEndedEarly) {
    search.deepestReached = 250;
    EXPECT_EQ(climb(1, firstDoublingCheck, 99'991), std::nullopt);
    EXPECT_EQ(newOutput(), "");
}

TEST_F(RunBudget, ReachingTwoHundredFiftyPiecesJustBeforeTheEarlyFailureCheckSavesTheRun) {
    ASSERT_EQ(climb(1, earlyFailureNodes, 1'009), std::nullopt);
    search.deepestReached = 250;
    EXPECT_EQ(climb(earlyFailureNodes + 1, firstDoublingCheck, 1'009), std::nullopt);
    EXPECT_EQ(newOutput(), "");
}

// --- Doubling check: concentration of the search at depths 160 to 170 ---

// Counters of depths 160..170 in which no depth was entered more than once.
struct ShallowWindowCase {
    const char* name;
    std::vector<std::int64_t> visits;  // depths 160..170
};
void PrintTo(const ShallowWindowCase& c, std::ostream* os) {
    *os << c.name;
}

class RunBudgetShallowWindow : public RunBudget,
                               public ::testing::WithParamInterface<ShallowWindowCase> {};

TEST_P(RunBudgetShallowWindow, EndsWithBackslashAtFirstCheckPastOneHundredMillion) {
    search.deepestReached = 250;
    const auto& visits = GetParam().visits;
    for (int d = firstCountedVisitDepth; d <= lastCountedVisitDepth; ++d)
        search.depthVisits[d] = visits[d - firstCountedVisitDepth];
    ASSERT_EQ(busiestDeepDepth(), 0);
    EXPECT_EQ(climb(1, firstDoublingCheck, 99'991), std::nullopt);
    EXPECT_EQ(newOutput(), "");
    EXPECT_FALSE(checkAt(firstDoublingCheck + 1));
    EXPECT_EQ(newOutput(), "\\");
    EXPECT_EQ(currentRun.budget.end, RunEnd::concentration);
}

INSTANTIATE_TEST_SUITE_P(
    RunBudget, RunBudgetShallowWindow,
    ::testing::Values(
        ShallowWindowCase{"NeverEntered", {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}},
        ShallowWindowCase{"EachEnteredOnce", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        ShallowWindowCase{"SomeEnteredOnce", {0, -1, 0, -1, -1, 0, 0, -1, -1, -1, 0}}),
    [](const ::testing::TestParamInfo<ShallowWindowCase>& info) { return info.param.name; });

// Where the search is most concentrated, and whether the run survives the first doubling.
struct ConcentrationCase {
    int depth;
    bool goesOn;
};
void PrintTo(const ConcentrationCase& c, std::ostream* os) {
    *os << "busiest depth " << c.depth;
}

class RunBudgetConcentration : public RunBudget,
                               public ::testing::WithParamInterface<ConcentrationCase> {};

TEST_P(RunBudgetConcentration, RunGoesOnOnlyWhenBusiestDepthReachesTheConcentrationLimit) {
    search.deepestReached = 250;
    concentrateAt(GetParam().depth);
    ASSERT_EQ(climb(1, firstDoublingCheck, 99'991), std::nullopt);
    EXPECT_EQ(checkAt(firstDoublingCheck + 1), GetParam().goesOn);
    EXPECT_EQ(newOutput(), GetParam().goesOn ? "" : "\\");
}

INSTANTIATE_TEST_SUITE_P(RunBudget, RunBudgetConcentration,
                         ::testing::Values(ConcentrationCase{firstCountedVisitDepth, false},
                                           ConcentrationCase{concentrationLimit - 1, false},
                                           ConcentrationCase{concentrationLimit, true},
                                           ConcentrationCase{concentrationLimit + 1, true},
                                           ConcentrationCase{lastCountedVisitDepth, true}),
                         [](const ::testing::TestParamInfo<ConcentrationCase>& info) {
                             return "Depth" + std::to_string(info.param.depth);
                         });

TEST_F(RunBudget, EqualLargestCountsAt163And165EndTheRunBecauseTheEarlierDepthWins) {
    search.deepestReached = 250;
    concentrateAt(163, 40);
    search.depthVisits[165] = 40;
    EXPECT_EQ(busiestDeepDepth(), 163);
    ASSERT_EQ(climb(1, firstDoublingCheck, 99'991), std::nullopt);
    EXPECT_FALSE(checkAt(firstDoublingCheck + 1));
    EXPECT_EQ(newOutput(), "\\");
}

TEST_F(RunBudget, LargerCountAt165LetsTheRunGoOnAndDoublesTheThreshold) {
    search.deepestReached = 250;
    concentrateAt(163, 40);
    search.depthVisits[165] = 41;
    EXPECT_EQ(busiestDeepDepth(), 165);
    ASSERT_EQ(climb(1, firstDoublingCheck, 99'991), std::nullopt);
    EXPECT_TRUE(checkAt(firstDoublingCheck + 1));
    EXPECT_EQ(currentRun.budget.threshold, 2 * firstDoublingCheck);
    EXPECT_EQ(newOutput(), "");
}

TEST_F(RunBudget, BusiestDeepDepthIsZeroUnlessAWindowCounterExceedsDepthZero) {
    search.depthVisits[0] = 0;
    search.depthVisits[166] = 0;
    EXPECT_EQ(busiestDeepDepth(), 0);
    search.depthVisits[166] = 1;
    EXPECT_EQ(busiestDeepDepth(), 166);
    search.depthVisits[170] = 2;
    EXPECT_EQ(busiestDeepDepth(), 170);
}

TEST_F(RunBudget, EachDoublingPointJudgesTheConcentrationAnew) {
    search.deepestReached = 250;
    concentrateAt(166, 30);
    ASSERT_EQ(climb(1, 2 * firstDoublingCheck, 999'983), std::nullopt);
    EXPECT_EQ(currentRun.budget.threshold, 2 * firstDoublingCheck);
    // The search drifts back: depth 161 becomes the busiest before the next doubling point.
    search.depthVisits[161] = 31;
    EXPECT_TRUE(checkAt(2 * firstDoublingCheck));
    EXPECT_FALSE(checkAt(2 * firstDoublingCheck + 1));
    EXPECT_EQ(newOutput(), "\\");
}

TEST_F(RunBudget, ThresholdDoublesOncePerCallWhenFarBehindTheNodeCount) {
    search.deepestReached = 250;
    concentrateAt(167);
    ASSERT_EQ(climb(1, 50 * million, 999'983), std::nullopt);
    // A long stretch beyond depth 119, where no check happens.
    const std::int64_t n = billion;
    std::vector<std::int64_t> thresholds;
    for (int call = 0; call < 6; ++call) {
        ASSERT_TRUE(checkAt(n + call));
        thresholds.push_back(currentRun.budget.threshold);
    }
    EXPECT_EQ(thresholds,
              (std::vector<std::int64_t>{2 * firstDoublingCheck, 4 * firstDoublingCheck,
                                         8 * firstDoublingCheck, 16 * firstDoublingCheck,
                                         16 * firstDoublingCheck, 16 * firstDoublingCheck}));
    EXPECT_EQ(newOutput(), "");
}

TEST_F(RunBudget, EveryCatchUpCallIsADoublingCheckThatCanEndTheRun) {
    search.deepestReached = 250;
    concentrateAt(167);
    ASSERT_EQ(climb(1, 50 * million, 999'983), std::nullopt);
    ASSERT_TRUE(checkAt(billion));
    ASSERT_TRUE(checkAt(billion + 1));
    EXPECT_EQ(currentRun.budget.threshold, 4 * firstDoublingCheck);
    concentrateAt(162);
    EXPECT_FALSE(checkAt(billion + 2));
    EXPECT_EQ(newOutput(), "\\");
}

TEST_F(RunBudget, DoublingCheckComesBeforeTheEarlyFailure) {
    ASSERT_EQ(climb(1, earlyFailureNodes - million, 100'003), std::nullopt);
    // Shallow search and never 250 pieces: both rules would end the run; one mark only.
    EXPECT_FALSE(checkAt(150 * million));
    EXPECT_EQ(newOutput(), "\\");
}

// --- No full board within four billion nodes ---

class RunBudgetNoBoard : public RunBudget {
protected:
    void SetUp() override {
        RunBudget::SetUp();
        search.deepestReached = 250;
        concentrateAt(168);
    }
};

TEST_F(RunBudgetNoBoard, RunWithoutFullBoardGoesOnUpToFourBillionNodes) {
    EXPECT_EQ(climb(1, 4 * billion, 49'999'999), std::nullopt);
    EXPECT_EQ(newOutput(), "");
}

TEST_F(RunBudgetNoBoard, RunWithoutFullBoardEndsWithUnderscoreJustPastFourBillion) {
    ASSERT_EQ(climb(1, 4 * billion, 49'999'999), std::nullopt);
    EXPECT_FALSE(checkAt(4 * billion + 1));
    EXPECT_EQ(newOutput(), "_");
    EXPECT_EQ(currentRun.budget.end, RunEnd::noBoard);
}

TEST_F(RunBudgetNoBoard, OneFullBoardInTheRunKeepsItGoingPastFourBillion) {
    ASSERT_EQ(climb(1, 2 * billion, 49'999'999), std::nullopt);
    ++results.fullBoards.count;
    EXPECT_EQ(climb(2 * billion, 9'900 * million, 49'999'999), std::nullopt);
    EXPECT_EQ(newOutput(), "");
}

TEST_F(RunBudgetNoBoard, FullBoardsOfEarlierRunsDoNotCount) {
    results.fullBoards.count = 7;
    resetRunBudget();
    ASSERT_EQ(climb(1, 3'999 * million, 49'999'999), std::nullopt);
    EXPECT_FALSE(checkAt(4'2 * firstDoublingCheck));
    EXPECT_EQ(newOutput(), "_");
}

// The node count of the first check after 3.99 billion, and whether it ends the run.
struct FirstCheckPastFourBillion {
    std::int64_t n;
    bool ends;
};
void PrintTo(const FirstCheckPastFourBillion& c, std::ostream* os) {
    *os << c.n;
}

class RunBudgetNoBoardWindow : public RunBudgetNoBoard,
                               public ::testing::WithParamInterface<FirstCheckPastFourBillion> {};

TEST_P(RunBudgetNoBoardWindow, RuleActsOnlyWhenTheFirstCheckPastFourBillionIsBelowFive) {
    ASSERT_EQ(climb(1, 3'990 * million, 49'999'999), std::nullopt);
    EXPECT_EQ(checkAt(GetParam().n), !GetParam().ends);
    if (GetParam().ends) {
        EXPECT_EQ(newOutput(), "_");
    } else {
        // Nor at any later check of the run.
        EXPECT_EQ(climb(GetParam().n + 1, 9'900 * million, 49'999'999), std::nullopt);
        EXPECT_EQ(newOutput(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(RunBudget, RunBudgetNoBoardWindow,
                         ::testing::Values(FirstCheckPastFourBillion{4 * billion + 1, true},
                                           FirstCheckPastFourBillion{4'600 * million, true},
                                           FirstCheckPastFourBillion{5 * billion - 1, true},
                                           FirstCheckPastFourBillion{5 * billion, false},
                                           FirstCheckPastFourBillion{5'700 * million, false}),
                         [](const ::testing::TestParamInfo<FirstCheckPastFourBillion>& info) {
                             return "At" + std::to_string(info.param.n);
                         });

// --- The quick check against a literal reading of the three rules ---

// Rules 1 to 3 exactly as stated, evaluated on every call, for runs below ten billion nodes
// (where no checkpoint has happened): an oracle written apart from the code, so its numbers
// are the rules' own, not the code's constants.
struct LiteralBudget {
    std::int64_t threshold = 100'000'000;
    std::int64_t boardsAtStart = 0;

    // The mark with which the call at node count `n` ends the run, or nothing.
    std::optional<std::string> judge(std::int64_t n) {
        if (n > threshold) {
            int busiest = 0;
            for (int d = 158; d <= 170; ++d)
                if (search.depthVisits[d] > search.depthVisits[busiest]) busiest = d;
            if (busiest < 164) return "\\";
            threshold *= 2;
        }
        if (n > 40'000'000 && search.deepestReached < 0) return "-";
        if (n < 5'000'000'000 && results.fullBoards.count == boardsAtStart && n > 4'000'000'000)
            return "_";
        return std::nullopt;
    }
};

TEST_F(RunBudget, QuickCheckStopsExactlyWhereTheLiteralRulesDo) {
    std::map<std::string, int> endings;
    for (std::uint32_t seed = 1; seed <= 1500; ++seed) {
        std::mt19937_64 rng(seed);
        auto chance = [&](double p) { return std::uniform_real_distribution<>(0, 1)(rng) < p; };
        // A fresh run after earlier ones that found some full boards.
        results.fullBoards.count = static_cast<std::int64_t>(rng() % 4);
        resetRun();
        search.depthVisits[0] = 0;
        LiteralBudget literal{100'000'000, results.fullBoards.count};
        // Node count at which the run first has 250 pieces; beyond reach for some runs.
        const std::int64_t deepAt = static_cast<std::int64_t>(rng() % (60 * million));
        // The depth the search of this run favours.
        const int favourite = 160 + static_cast<int>(rng() % 11);
        const double boardChance = chance(0.5) ? 0.0 : 0.03;

        std::optional<std::string> ending;
        std::int64_t n = 0;
        while (true) {
            // The next check: a small or large random jump, or one landing on an edge.
            std::int64_t next;
            if (chance(0.25)) {
                const std::int64_t edges[] = {earlyFailureNodes, earlyFailureNodes + 1,
                                              literal.threshold, literal.threshold + 1,
                                              4 * billion,       4 * billion + 1,
                                              5 * billion - 1,   5 * billion,
                                              5 * billion + 1,   literal.threshold - 1};
                next = edges[rng() % std::size(edges)];
                if (next <= n) next = n + 1;
            } else {
                const double exponent = std::uniform_real_distribution<>(0, 21.5)(rng);
                next = n + 1 + static_cast<std::int64_t>(std::exp(exponent));
            }
            if (next >= 9'900 * million) break;
            n = next;

            // What the search did meanwhile: counters only grow, boards only add up.
            if (search.deepestReached < 0 && n >= deepAt) search.deepestReached = 250;
            if (chance(0.4)) {
                const int d = chance(0.6) ? favourite : 160 + static_cast<int>(rng() % 11);
                search.depthVisits[d] = std::max<std::int64_t>(search.depthVisits[d], 0) +
                                        static_cast<std::int64_t>(rng() % 3);
            }
            if (chance(boardChance)) ++results.fullBoards.count;

            const std::optional<std::string> expected = literal.judge(n);
            const bool wentOn = checkAt(n);
            ASSERT_EQ(wentOn, !expected.has_value()) << "seed " << seed << ", node count " << n;
            const std::string printed = newOutput();
            if (!wentOn) {
                ASSERT_EQ(printed, *expected) << "seed " << seed << ", node count " << n;
                ending = expected;
                break;
            }
            ASSERT_EQ(printed, "") << "seed " << seed << ", node count " << n;
        }
        ++endings[ending.value_or("none")];
    }
    // The runs must have exercised every way of ending and of going on.
    EXPECT_GT(endings["-"], 20);
    EXPECT_GT(endings["\\"], 20);
    EXPECT_GT(endings["_"], 20);
    EXPECT_GT(endings["none"], 20);
}

// --- Stopping the run puts the candidate lists back ---

// Every word the list editing can change: the pool and the tables that removals edit.
struct ListsImage {
    std::array<PieceCode, poolSize> pool;
    PairTable byLeftTop;
    PairTable edgesByLeftTop;
    ColourTable byTop;
    ColourTable byLeft;

    bool operator==(const ListsImage&) const = default;
};

std::unique_ptr<ListsImage> takeListsImage() {
    auto image = std::make_unique<ListsImage>();
    image->pool = puzzle.candidatePool;
    image->byLeftTop = puzzle.interiorByLeftTop;
    image->edgesByLeftTop = puzzle.edgeByLeftTop;
    image->byTop = puzzle.interiorByTop;
    image->byLeft = puzzle.interiorByLeft;
    return image;
}

TEST_F(RunBudget, StoppingTheRunRestoresEveryEditedCandidateList) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle({3, 17, 5})));
    readPieceFile(dir.file("k7pieces.txt").c_str());
    buildCandidateTables();
    const auto before = takeListsImage();

    const int interior =
        static_cast<int>(std::find(puzzle.borderCount.begin(), puzzle.borderCount.end(), 0) -
                         puzzle.borderCount.begin());
    const int edge =
        static_cast<int>(std::find(puzzle.borderCount.begin(), puzzle.borderCount.end(), 1) -
                         puzzle.borderCount.begin());
    ASSERT_LT(interior, pieceCount);
    ASSERT_LT(edge, pieceCount);
    removePiece(interior, puzzle.interiorByLeftTop);
    removePieceByTop(interior);
    removePieceByLeft(interior);
    removePiece(edge, puzzle.edgeByLeftTop);
    ASSERT_NE(puzzle.candidatePool, before->pool);

    ASSERT_EQ(climb(1, earlyFailureNodes, 99'991), std::nullopt);
    EXPECT_FALSE(checkAt(earlyFailureNodes + 1));
    EXPECT_EQ(newOutput(), "-");
    EXPECT_TRUE(*takeListsImage() == *before);
    EXPECT_EQ(console.err(), "");
}

}  // namespace
