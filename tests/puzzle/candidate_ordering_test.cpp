#include "puzzle/candidate_ordering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/program_state.h"
#include "base/random.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/puzzle_tables.h"
#include "run/resets.h"
#include "run/run_setup.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

class CandidateOrdering : public testing::Test {
protected:
    void SetUp() override {
        resetProgram();
        seedRandom(program.mainRandom, 99);
    }
};

std::vector<PieceCode> orderedEntries(CandidateList list) {
    std::vector<PieceCode> entries;
    for (PieceCode* e = list + 1; *e != emptyCode; ++e)
        entries.push_back(*e);
    return entries;
}

}  // namespace

TEST_F(CandidateOrdering, CornerPrioritiesFollowTheirOrderWhateverTheirColours) {
    puzzleRun.ordering.shunnedColour[5] = 1;
    puzzleRun.ordering.favouredColour[6] = 1;
    const std::array<int, 4> pieces{3, 2, 0, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(piecePriority(makePieceCode(pieces[i], 5, 5, 6, 22)), 250 * i);
}

TEST_F(CandidateOrdering, EdgeAndInteriorPrioritiesAddTheirColourTerms) {
    puzzleRun.ordering.shunnedColour[4] = 1;
    puzzleRun.ordering.favouredColour[9] = 1;
    puzzleRun.ordering.favouredColour[18] = 1;
    // 139 stands first in the interior order, 125 last; 10 second in the edge order, 36 last.
    EXPECT_EQ(piecePriority(makePieceCode(138, 4, 1, 4, 2)), 400);
    EXPECT_EQ(piecePriority(makePieceCode(124, 1, 2, 3, 9)), 994 - 200);
    EXPECT_EQ(piecePriority(makePieceCode(9, 1, 2, 3, 22)), 17);
    EXPECT_EQ(piecePriority(makePieceCode(35, 1, 2, 3, 22)), 982);
    EXPECT_EQ(piecePriority(makePieceCode(35, 9, 18, 4, 22)), 982 - 200);
}

TEST_F(CandidateOrdering, ListOfOneEntryIsLeftAloneWithoutADraw) {
    std::array<PieceCode, 3> words{emptyCode, makePieceCode(70, 1, 2, 3, 4) | lastInListBit,
                                   emptyCode};
    const std::array<PieceCode, 3> before = words;
    const RandomState random = program.mainRandom;
    reorderCandidateList(words.data());
    EXPECT_EQ(words, before);
    EXPECT_EQ(program.mainRandom.words, random.words);
    EXPECT_EQ(program.mainRandom.position, random.position);
    reorderCandidateList(nullptr);
}

TEST_F(CandidateOrdering, TwoEntriesSwapExactlyWhenTheDrawTipsTheBalance) {
    const PieceCode x = makePieceCode(80, 1, 2, 3, 4);
    const PieceCode y = makePieceCode(200, 1, 2, 3, 4);
    int swaps = 0;
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        seedRandom(program.mainRandom, seed);
        RandomState copy = program.mainRandom;
        const auto r = static_cast<std::int32_t>(nextRandom(copy) % 300u);
        const bool swap = r + piecePriority(x) > piecePriority(y) + 150;
        std::array<PieceCode, 4> words{emptyCode, x, y | lastInListBit, emptyCode};
        reorderCandidateList(words.data());
        EXPECT_EQ(program.mainRandom.position, copy.position) << "exactly one draw";
        if (swap) {
            ++swaps;
            EXPECT_EQ(words,
                      (std::array<PieceCode, 4>{emptyCode, y, x | lastInListBit, emptyCode}));
        } else {
            EXPECT_EQ(words,
                      (std::array<PieceCode, 4>{emptyCode, x, y | lastInListBit, emptyCode}));
        }
    }
    EXPECT_GT(swaps, 0);
    EXPECT_LT(swaps, 200);
}

TEST_F(CandidateOrdering,
       ReorderedListsKeepTheirEntriesAndFormAndTheOneColourListsJoinInTheSecondRun) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle({21, 17, 5})));
    readPieceFile(dir.file("k7pieces.txt").c_str());
    buildCandidateTables();
    const std::vector<PieceCode> pool(puzzle.candidatePool.begin(),
                                      puzzle.candidatePool.begin() + puzzle.poolUsed);
    const ColourTable oneColourBefore = puzzle.interiorByLeft;
    const std::vector<PieceCode> interiorByLeftEntries = orderedEntries(puzzle.interiorByLeft[3]);
    puzzleRun.ordering.shunnedColour[2] = 1;
    puzzleRun.ordering.favouredColour[7] = 1;
    puzzleRun.ordering.favouredColour[19] = 1;
    reorderCandidateTables();
    EXPECT_EQ(orderedEntries(puzzle.interiorByLeft[3]), interiorByLeftEntries);
    reorderCandidateTables();
    EXPECT_NE(orderedEntries(puzzle.interiorByLeft[3]), interiorByLeftEntries);
    EXPECT_EQ(puzzle.interiorByLeft, oneColourBefore) << "lists never move";

    // Every list holds the same codes as before, packed, with one flag on its last entry.
    for (const PairTable* table :
         {&puzzle.interiorByLeftTop, &puzzle.edgeByLeftTop, &puzzle.cornerByLeftTop})
        for (CandidateList list : *table) {
            if (list == nullptr) continue;
            std::vector<PieceCode> entries = orderedEntries(list);
            ASSERT_FALSE(entries.empty());
            for (std::size_t i = 0; i + 1 < entries.size(); ++i)
                EXPECT_FALSE(isLastInList(entries[i]));
            EXPECT_TRUE(isLastInList(entries.back()));
            const std::size_t offset =
                static_cast<std::size_t>(list + 1 - puzzle.candidatePool.data());
            std::vector<PieceCode> original(pool.begin() + offset,
                                            pool.begin() + offset + entries.size());
            for (PieceCode& code : entries)
                code &= ~lastInListBit;
            for (PieceCode& code : original)
                code &= ~lastInListBit;
            std::sort(entries.begin(), entries.end());
            std::sort(original.begin(), original.end());
            EXPECT_EQ(entries, original);
        }
}
