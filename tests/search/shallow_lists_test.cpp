// The run's copies of the shallow lists against the lists themselves.
#include "search/shallow_lists.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/program_state.h"
#include "base/random.h"
#include "puzzle/candidate_ordering.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "run/resets.h"
#include "run/run_setup.h"
#include "search/search_state.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

// What the first depths take from a list, walked as the search walks it: up to its flagged
// entry, every entry that is not of the first list, with countedBit on the counted pieces.
std::vector<PieceCode> walkedByTheFirstDepths(CandidateList list) {
    std::vector<PieceCode> taken;
    if (list == nullptr) return taken;
    for (const PieceCode* e = list + 1;; ++e) {
        const int p = pieceNumberOf(*e);
        if (!search.groupFlags.inFirstList[p])
            taken.push_back(*e | (search.groupFlags.inSecondList[p] ? countedBit : 0));
        if (isLastInList(*e)) break;
    }
    return taken;
}

void readGenerated(const TempDir& dir, GeneratorOptions options) {
    writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle(options)));
    readPieceFile(dir.file("k7pieces.txt").c_str());
    buildCandidateTables();
}

TEST(ShallowLists, HoldWhatTheWalkOfEveryListTakesInItsOrderWithTheFreeOnesMarked) {
    resetProgram();
    TempDir dir;
    readGenerated(dir, {6, 12, 4});
    seedRandom(program.mainRandom, 3);
    std::mt19937 rng(11);
    const std::array<const PairTable*, 3> tables{&puzzle.interiorByLeftTop, &puzzle.edgeByLeftTop,
                                                 &puzzle.cornerByLeftTop};
    for (int draw = 0; draw < 20; ++draw) {
        resetRun();
        applyPieceGroup(std::uniform_int_distribution<int>(0, 59)(rng));
        reorderCandidateTables();
        for (int p = 0; p < 256; ++p)
            search.pieceFree[p] = std::bernoulli_distribution(0.8)(rng) ? 1 : 0;
        ASSERT_TRUE(buildShallowLists());
        // The masks with a random free piece placed, then given back.
        std::array<std::uint64_t, shallowListLimit> before = search.shallow.free;
        int placed = 0;
        while (!search.pieceFree[placed] || search.groupFlags.inFirstList[placed])
            placed = std::uniform_int_distribution<int>(0, 255)(rng);
        search.shallow.takePiece(placed);
        std::array<std::uint64_t, shallowListLimit> taken = search.shallow.free;
        search.shallow.returnPiece(placed);
        EXPECT_EQ(search.shallow.free, before);
        int entries = 0;
        int placedEntries = 0;
        for (int kind = 0; kind < 3; ++kind)
            for (int slot = 0; slot < pairSlots; ++slot) {
                const std::vector<PieceCode> expected =
                    walkedByTheFirstDepths((*tables[kind])[slot]);
                const int list = search.shallow.byLeftTop[kind][slot];
                ASSERT_EQ(list == 0, expected.empty()) << kind << " " << slot;
                std::uint64_t free = 0;
                std::uint64_t freeWithPlaced = 0;
                for (std::size_t i = 0; i < expected.size(); ++i) {
                    const PieceCode word = search.shallow.entries[search.shallow.start[list] + i];
                    ASSERT_EQ(word, expected[i]) << kind << " " << slot << " " << i;
                    const int piece = pieceNumberOf(word & ~countedBit);
                    if (search.pieceFree[piece]) free |= std::uint64_t{1} << i;
                    if (search.pieceFree[piece] && piece != placed)
                        freeWithPlaced |= std::uint64_t{1} << i;
                    placedEntries += piece == placed;
                }
                EXPECT_EQ(search.shallow.free[list], free) << kind << " " << slot;
                EXPECT_EQ(taken[list], freeWithPlaced) << kind << " " << slot;
                entries += static_cast<int>(expected.size());
            }
        EXPECT_GT(entries, 0);
        EXPECT_GT(placedEntries, 0);
        // Pieces with fewer than four entries in the copies leave list 0 empty all the same.
        for (int p = 0; p < 256; ++p) {
            search.shallow.takePiece(p);
            search.shallow.returnPiece(p);
        }
        EXPECT_EQ(search.shallow.free[0], 0u);
    }
}

// A list longer than a mask can mark is not copied: the search walks the lists themselves.
TEST(ShallowLists, AreNotBuiltWhenAListIsTooLongForItsMask) {
    resetProgram();
    TempDir dir;
    readGenerated(dir, {6, 2, 1});
    EXPECT_FALSE(buildShallowLists());
    readGenerated(dir, {6, 12, 4});
    EXPECT_TRUE(buildShallowLists());
}

}  // namespace
