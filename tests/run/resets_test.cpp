#include "run/resets.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/process_hooks.h"
#include "base/program_state.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/puzzle_tables.h"
#include "results/results_state.h"
#include "run/current_run.h"
#include "search/mismatch_bound.h"
#include "search/search_options.h"
#include "search/search_state.h"

namespace {

// One record's field changed, the reset that must (or must not) bring it back, and whether it
// is back at its start value.
struct ResetCase {
    const char* name;
    std::function<void()> change;
    void (*reset)();
    bool restored;  // whether the reset restores it, or leaves it on purpose
    std::function<bool()> atStart;
};

void PrintTo(const ResetCase& c, std::ostream* os) {
    *os << c.name;
}

class Resets : public ::testing::TestWithParam<ResetCase> {};

TEST_P(Resets, RestoreTheirRecordsAndLeaveTheOnesKeptApart) {
    const ResetCase& c = GetParam();
    resetProgram();
    const ProcessHooks hooks = process;
    static PuzzleTables tables;
    tables = puzzle;
    c.change();
    ASSERT_FALSE(c.atStart());
    c.reset();
    EXPECT_EQ(c.atStart(), c.restored);
    process = hooks;
    puzzle = tables;
}

const ResetCase resetCases[] = {
    {"AnOptionsRecord", [] { runRecord<MismatchBound>().tests = 5; }, resetRun, true,
     [] { return runRecord<MismatchBound>().tests == 0; }},
    {"TheListEdits", [] { puzzleRun.edits.deferredCount = 2; }, resetRun, true,
     [] { return puzzleRun.edits.deferredCount == 0; }},
    {"TheRunsDraws", [] { currentRun.draws.group = 7; }, resetRun, true,
     [] { return currentRun.draws.group == -1; }},
    {"TheSearchHooksInstalledAgain", [] { search.hooks = {}; }, resetRun, true,
     [] { return search.hooks.stopRun != nullptr; }},
    {"TheProgramsGenerators", [] { nextRandom(program.mainRandom); }, resetProgram, true,
     [] {
         const RandomState start = seededRandom(startSeed);
         return program.mainRandom.words == start.words &&
                program.mainRandom.position == start.position;
     }},
    {"TheResults", [] { results.fullBoards.count = 3; }, resetProgram, true,
     [] { return results.fullBoards.count == 0; }},
    {"NotTheProcessHooks", [] { process.fatalExitWaits = false; }, resetProgram, false,
     [] { return process.fatalExitWaits; }},
    {"NotThePuzzlesTables", [] { puzzle.pieceCodes[9] = 77; }, resetProgram, false,
     [] { return puzzle.pieceCodes[9] != 77; }},
};

INSTANTIATE_TEST_SUITE_P(Records, Resets, ::testing::ValuesIn(resetCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
