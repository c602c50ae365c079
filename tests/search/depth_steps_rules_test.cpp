// The steps without group rules search alike whether or not they keep the deepest board, and
// the board they keep is the run's deepest path.
#include <gtest/gtest.h>

#include <set>

#include "base/program_state.h"
#include "base/random.h"
#include "base/settings.h"
#include "puzzle/candidate_ordering.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "run/resets.h"
#include "run/run_budget.h"
#include "run/run_loop.h"
#include "run/run_setup.h"
#include "run/startup.h"
#include "search/board_geometry.h"
#include "search/depth_steps.h"
#include "search/search_state.h"
#include "tests/test_support.h"

namespace {

struct RunResult {
    std::int64_t nodes;
    int depth;
    std::array<PieceCode, 256> board;
};

// One run of the deep puzzle under `rules`, from the same lists and seeds every time.
RunResult runUnder(StepRules rules) {
    resetProgram();
    buildCandidateTables();
    puzzle.timesOrdered = 1;
    seedRandom(program.mainRandom, 77);
    seedRandom(program.groupRandom, 78);
    setup.groupRandomSeeded = true;
    setup.groups.rules = rules;
    program.settings.runNodeLimit = 3'000'000;
    program.settings.writeFiles = false;
    ConsoleCapture quiet;
    try {
        performRun();
    } catch (const RunStopped&) {
    }
    return {search.nodeCount, deepestPlacedDepth(), search.board};
}

}  // namespace

TEST(StepRules, KeepingTheDeepestBoardSearchesAsTheStepsWithoutGroupRules) {
    readPieceFile(TESSALY_SOURCE_DIR "/puzzles/deep/k7pieces.txt");
    const RunResult plain = runUnder(StepRules::noGroups);
    const RunResult keeping = runUnder(StepRules::noGroupsKeepingDeepest);
    EXPECT_EQ(keeping.nodes, plain.nodes);
    EXPECT_EQ(keeping.board, plain.board);
    EXPECT_GT(plain.depth, 100);
    EXPECT_EQ(search.deepestDepth, plain.depth);
    std::set<int> pieces{hintPiece};
    for (int d = 0; d <= search.deepestDepth; ++d)
        EXPECT_TRUE(pieces.insert(pieceNumberOf(search.deepestBoard[fillOrder[d]])).second) << d;
    const RunResult withGroups = runUnder(StepRules::groups);
    EXPECT_NE(withGroups.nodes, plain.nodes) << "the group rules steer the search";
}
