// The run's copies of the shallow lists against the lists themselves.
#include "puzzle/shallow_lists.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gen/puzzle_generator.h"
#include "puzzle/candidate_ordering.h"
#include "puzzle/piece_file.h"
#include "run/random.h"
#include "run/run_setup.h"
#include "test_support.h"

namespace {

// What the first depths take from a list, walked as the search walks it: up to its flagged
// entry, every entry that is not of the first list, with countedBit on the counted pieces.
std::vector<PieceCode> walkedByTheFirstDepths(CandidateList list) {
    std::vector<PieceCode> taken;
    if (list == nullptr) return taken;
    for (const PieceCode* e = list + 1;; ++e) {
        const int p = pieceNumberOf(*e);
        if (!inFirstList[p]) taken.push_back(*e | (inSecondList[p] ? countedBit : 0));
        if (isLastInList(*e)) break;
    }
    return taken;
}

std::vector<PieceCode> copied(CandidateList copy) {
    std::vector<PieceCode> words;
    for (const PieceCode* e = copy + 1; *e != emptyCode; ++e)
        words.push_back(*e);
    return words;
}

TEST(ShallowLists, HoldWhatTheWalkOfEveryListTakesInItsOrderForRandomGroups) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle({6, 12, 4})));
    readPieceFile(dir.file("k7pieces.txt").c_str());
    buildCandidateTables();
    seedRandom(mainRandom, 3);
    std::mt19937 rng(11);
    const std::array<const PairTable*, 3> tables{&interiorByLeftTop, &edgeByLeftTop,
                                                 &cornerByLeftTop};
    for (int draw = 0; draw < 20; ++draw) {
        inFirstList.fill(0);
        firstListBarred.fill(0);
        inSecondList.fill(0);
        applyPieceGroup(std::uniform_int_distribution<int>(0, 59)(rng));
        reorderCandidateTables();
        buildShallowLists();
        int entries = 0;
        for (int kind = 0; kind < 3; ++kind)
            for (int slot = 0; slot < pairSlots; ++slot) {
                const std::vector<PieceCode> expected =
                    walkedByTheFirstDepths((*tables[kind])[slot]);
                const CandidateList copy = shallowByLeftTop[kind][slot];
                ASSERT_EQ(copy == nullptr, expected.empty()) << kind << " " << slot;
                if (copy != nullptr) {
                    ASSERT_EQ(copied(copy), expected) << kind << " " << slot;
                }
                entries += static_cast<int>(expected.size());
            }
        EXPECT_GT(entries, 0);
    }
}

}  // namespace
