// The rim look-ahead: its test on hand-made rims, and a search with it that finds the same
// full boards in the same order as one without it.
#include "search/rim_look_ahead.h"
#include "base/program_state.h"
#include "puzzle/puzzle_tables.h"
#include "results/results_state.h"
#include "search/search_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/settings.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "results/full_boards.h"
#include "run/resets.h"
#include "search/depth_steps.h"
#include "search/mismatch_bound.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

// A rim as it stands after the placement at a depth: the colour the placed piece shows
// towards the empty squares, the colour the filled arc shows at their other end, and the
// free pieces by kind, each kind two digits, in colour and out colour.
struct RimCase {
    const char* name;
    int depth;
    int start;
    int end;
    const char* corners;
    const char* edges;
    bool closes;
};
void PrintTo(const RimCase& rim, std::ostream* os) {
    *os << rim.name;
}

// At depth 238, square (11, 15), three edges of column 15, the corner and three edges of row
// 15 are empty; at 250, (14, 15), the corner and (15, 14); at 197, the corner (0, 15), column
// 15, the last corner and three edges of row 15.
const RimCase rimCases[] = {
    {"PiecesThatFitInOneOrderClose", 238, 1, 1, "45", "12 23 34 52 23 31", true},
    {"PiecesOfOneKindGoWhereverTheyFit", 238, 1, 1, "45", "12 22 24 52 22 21", true},
    {"TheCornerFitsNoWhereTheColumnCanEnd", 238, 1, 1, "35", "12 23 34 52 23 31", false},
    {"TheRowCannotEndAtItsNeighboursColour", 238, 1, 2, "45", "12 23 34 52 23 31", false},
    {"ColoursBalanceButTheColumnFallsApart", 238, 1, 1, "25", "12 33 33 56 66 61", false},
    {"OneEdgeOnEitherSideOfTheCorner", 250, 1, 2, "34", "13 42", true},
    {"TheCornerLiesBetweenTheWrongEdges", 250, 1, 2, "34", "43 12", false},
    {"TwoCornersFitOneWayRound", 197, 1, 1, "12 34",
     "22 22 22 22 22 22 22 22 22 22 22 22 22 23 45 55 51", true},
    {"TheCornerThatFitsLeavesTheOtherNowhere", 197, 3, 1, "12 34",
     "22 22 22 22 22 22 22 22 22 22 22 22 22 23 45 55 51", false},
};

class RimLookAheadTest : public testing::TestWithParam<RimCase> {};

// The kinds of a case's text: pairs of digits, a blank after each.
std::vector<std::pair<int, int>> kindsOf(const std::string& text) {
    std::vector<std::pair<int, int>> kinds;
    for (std::size_t at = 0; at + 1 < text.size(); at += 3)
        kinds.push_back({text[at] - '0', text[at + 1] - '0'});
    return kinds;
}

// The answer of the test at the case's depth, for a piece placed there that shows the case's
// start colour towards the empty squares.
bool closesAt(const RimCase& rimCase) {
    switch (rimCase.depth) {
        case 197:  // a square of row 0, where the piece lies as it was made
            return rimClosesWith<197>(puzzle.pieceCodes[4], 4);
        case 238:  // squares of column 15, where it lies a quarter turn on
            return rimClosesWith<238>(rotate(1, puzzle.pieceCodes[4]), 4);
        default:
            return rimClosesWith<250>(rotate(1, puzzle.pieceCodes[4]), 4);
    }
}

TEST_P(RimLookAheadTest, AnswersWhetherTheRimCanClose) {
    const RimCase& rimCase = GetParam();
    resetProgram();
    // Every piece an interior piece of colour 0, out of play; then the placed piece (piece 4,
    // in colour 9), the end of the filled arc and the free rim pieces.
    for (int p = 0; p < 256; ++p) {
        puzzle.pieceCodes[p] = makePieceCode(p, 0, 0, 0, 0);
        puzzle.borderCount[p] = 0;
        search.pieceFree[p] = 0;
    }
    const auto edge = [](int p, int in, int out) {
        puzzle.pieceCodes[p] = makePieceCode(p, 0, out, borderColour, in);  // as in row 0
        puzzle.borderCount[p] = 1;
        search.pieceFree[p] = 1;
    };
    edge(4, 9, rimCase.start);
    const int e = rimCase.end;
    search.board[rimGaps[rimCase.depth].endSlot] = makePieceCode(200, e, e, e, e);
    int piece = 10;
    for (const auto& [in, out] : kindsOf(rimCase.edges))
        edge(piece++, in, out);
    piece = 0;
    for (const auto& [in, out] : kindsOf(rimCase.corners)) {
        puzzle.pieceCodes[piece] = makePieceCode(piece, in, out, borderColour, borderColour);
        puzzle.borderCount[piece] = 2;
        search.pieceFree[piece++] = 1;
    }
    ASSERT_EQ(rimLookAheadFault(), "");
    ASSERT_TRUE(startRimLookAhead());
    countFreeRimPieces();
    const std::uint64_t freeBefore = runRecord<RimLookAhead>().freeBits;
    EXPECT_EQ(closesAt(rimCase), rimCase.closes);
    EXPECT_EQ(closesAt(rimCase), rimCase.closes) << "answered again by the depth";
    EXPECT_EQ(runRecord<RimLookAhead>().freeBits, freeBefore)
        << "the test leaves the free pieces as they were";
    // The same test at a dead end, with the piece on its square and out of play.
    search.board[fillOrder[rimCase.depth]] =
        rimCase.depth == 197 ? puzzle.pieceCodes[4] : rotate(1, puzzle.pieceCodes[4]);
    search.pieceFree[4] = 0;
    EXPECT_EQ(rimClosesAsPlaced(rimCase.depth), rimCase.closes);
    EXPECT_EQ(runRecord<RimLookAhead>().freeBits, freeBefore)
        << "and leaves the free pieces as the steps keep them";
}

INSTANTIATE_TEST_SUITE_P(Rims, RimLookAheadTest, testing::ValuesIn(rimCases),
                         [](const testing::TestParamInfo<RimCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(RimLookAhead, StaysOffOnPiecesWhoseRimColoursAlsoStandInside) {
    resetProgram();
    CurrentTempDir dir;
    writeFile(dir.file("k7pieces.txt"), simplePieceFileText());
    readPieceFile(dir.file("k7pieces.txt").c_str());
    EXPECT_NE(rimLookAheadFault().find("joins rim squares and stands inside the board as well"),
              std::string::npos);
    EXPECT_FALSE(startRimLookAhead());
    EXPECT_FALSE(runRecord<RimLookAhead>().on);
}

// Below the planted solution's first squares, searches with and without the look-ahead until
// their space is exhausted, with enough mismatches allowed for the last rim squares to try
// their mismatch phases too.
struct PlantedSearch {
    std::int64_t nodes = 0;
    std::vector<std::array<PieceCode, 256>> boards;
};

std::vector<std::array<PieceCode, 256>>* foundBoards = nullptr;

PlantedSearch searchBelowThePlantedStart(const PlantedPuzzle& plantedPuzzle, int startDepth,
                                         const SearchOptions& options) {
    resetProgram();
    program.settings.writeFiles = false;
    std::array<PieceCode, 256> planted{};
    for (int s = 0; s < 256; ++s)
        planted[s] =
            rotate(plantedPuzzle.slotRotation[s], puzzle.pieceCodes[plantedPuzzle.slotPiece[s]]);
    search.board[hintSlot] = planted[hintSlot];
    search.pieceFree[hintPiece] = 0;
    for (int d = 0; d < startDepth; ++d) {
        search.board[fillOrder[d]] = planted[fillOrder[d]];
        search.pieceFree[pieceNumberOf(planted[fillOrder[d]])] = 0;
    }
    search.mismatchCount = 8;
    PlantedSearch result;
    foundBoards = &result.boards;
    results.fullBoards.watcher = [] { foundBoards->push_back(search.board); };
    ConsoleCapture console;
    static_cast<SearchOptions&>(runOptions) = options;
    searchFromDepth(startDepth);
    result.nodes = search.nodeCount;
    return result;
}

// A generated 16/5 puzzle, read as the solver reads its piece file, with its planted solution.
PlantedPuzzle loadPlantedPuzzle(std::uint32_t seed) {
    const PlantedPuzzle plantedPuzzle = generatePuzzle({seed, 16, 5});
    CurrentTempDir dir;
    writeFile(dir.file("k7pieces.txt"), pieceFileText(plantedPuzzle));
    readPieceFile(dir.file("k7pieces.txt").c_str());
    buildCandidateTables();
    return plantedPuzzle;
}

TEST(RimLookAheadOnAPlantedPuzzle, FindsTheSameFullBoardsInTheSameOrderWithFewerNodes) {
    for (const std::uint32_t seed : {2501u, 2502u}) {
        const PlantedPuzzle plantedPuzzle = loadPlantedPuzzle(seed);
        const PlantedSearch without = searchBelowThePlantedStart(plantedPuzzle, 191, {});
        const PlantedSearch with = searchBelowThePlantedStart(
            plantedPuzzle, 191, SearchOptions{}.with<RimLookAheadOption>(1));
        EXPECT_GT(without.boards.size(), 100u) << seed;
        EXPECT_TRUE(with.boards == without.boards) << seed;
        EXPECT_LT(with.nodes, without.nodes * 9 / 10) << seed;
        EXPECT_GT(runRecord<RimLookAhead>().refusals, 0) << seed;
    }
}

// The mismatch bound cuts off only what cannot be finished within the mismatches a full board
// may have: the same boards in the same order, alone and with the look-ahead.
TEST(MismatchBoundOnAPlantedPuzzle, FindsTheSameFullBoardsInTheSameOrderWithFewerNodes) {
    for (const std::uint32_t seed : {2501u, 2502u}) {
        const PlantedPuzzle plantedPuzzle = loadPlantedPuzzle(seed);
        const PlantedSearch without =
            searchBelowThePlantedStart(plantedPuzzle, firstBoundDepth, {});
        const PlantedSearch with = searchBelowThePlantedStart(
            plantedPuzzle, firstBoundDepth, SearchOptions{}.with<MismatchBoundOption>(1));
        EXPECT_GT(without.boards.size(), 100u) << seed;
        EXPECT_TRUE(with.boards == without.boards) << seed;
        EXPECT_LT(with.nodes, without.nodes) << seed;
        EXPECT_GT(runRecord<MismatchBound>().refusals, 0) << seed;
        const PlantedSearch both = searchBelowThePlantedStart(
            plantedPuzzle, firstBoundDepth,
            SearchOptions{}.with<RimLookAheadOption>(1).with<MismatchBoundOption>(1));
        EXPECT_TRUE(both.boards == without.boards) << seed;
    }
}

}  // namespace
