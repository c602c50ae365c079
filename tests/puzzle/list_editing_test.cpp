#include "puzzle/list_editing.h"
#include "base/program_state.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/puzzle_tables.h"
#include "search/placed_removals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/console.h"
#include "base/random.h"
#include "puzzle/candidate_ordering.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "run/resets.h"
#include "search/board_geometry.h"
#include "search/search_state.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

// A piece placed into the test piece set: number, kind (0 interior, 1 edge, 2 corner) and
// its rotation-0 colours.
struct TestPiece {
    int piece;
    int kind;
    int bottom, right, top, left;
};

// Fills the piece set with `chosen` and makes every other piece a kind that no table holds,
// then builds the candidate tables from it.
void buildFromPieces(std::initializer_list<TestPiece> chosen) {
    for (int p = 0; p < pieceCount; ++p) {
        puzzle.pieceCodes[p] = makePieceCode(p, 0, 0, 0, 0);
        puzzle.borderCount[p] = 3;
    }
    for (const TestPiece& t : chosen) {
        puzzle.pieceCodes[t.piece] = makePieceCode(t.piece, t.bottom, t.right, t.top, t.left);
        puzzle.borderCount[t.piece] = t.kind;
    }
    buildCandidateTables();
}

// Fills all 256 pieces with colours from a small palette, so that lists are long and hold
// several rotations of one piece, with kinds given by `kindOf`, then builds the tables.
template <typename KindOf>
void buildRandomPieces(std::mt19937& rng, KindOf kindOf) {
    std::uniform_int_distribution<int> colour(0, 5);
    for (int p = 0; p < pieceCount; ++p) {
        puzzle.pieceCodes[p] = makePieceCode(p, colour(rng), colour(rng), colour(rng), colour(rng));
        puzzle.borderCount[p] = kindOf(p);
    }
    buildCandidateTables();
}

// Entries of a list, flags included, up to its terminator; empty for a null list.
std::vector<PieceCode> entriesOf(CandidateList list) {
    std::vector<PieceCode> words;
    if (list == nullptr) return words;
    for (const PieceCode* e = list + 1; *e != emptyCode; ++e)
        words.push_back(*e);
    return words;
}

bool listHolds(CandidateList list, PieceCode code) {
    for (PieceCode e : entriesOf(list))
        if ((e & ~lastInListBit) == code) return true;
    return false;
}

constexpr PieceCode flaggedLast(PieceCode c) {
    return c | lastInListBit;
}

// Every word the editing can touch: the pool and the slots of all nine tables.
struct TablesImage {
    std::array<PieceCode, poolSize> pool;
    int used;
    std::array<PairTable, 6> pairTables;
    std::array<ColourTable, 3> colourTables;

    bool operator==(const TablesImage&) const = default;
};

std::unique_ptr<TablesImage> takeImage() {
    auto image = std::make_unique<TablesImage>();
    image->pool = puzzle.candidatePool;
    image->used = puzzle.poolUsed;
    image->pairTables = {puzzle.interiorByLeftTop, puzzle.edgeByLeftTop,
                         puzzle.cornerByLeftTop,   puzzle.edgeByBottomLeft,
                         puzzle.edgeByRightTop,    puzzle.cornerByRightBottom};
    image->colourTables = {puzzle.interiorByLeft, puzzle.interiorByTop, puzzle.edgeByLeft};
    return image;
}

// Starts from the start values of every record and captures the error stream.
class ListEditing : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgram();
        savedErr = process.consoleErr;
        process.consoleErr = std::tmpfile();
        ASSERT_NE(process.consoleErr, nullptr);
    }
    void TearDown() override {
        std::fclose(process.consoleErr);
        process.consoleErr = savedErr;
    }
    // Everything printed on the error stream since the last call.
    std::string takeErr() {
        std::fflush(process.consoleErr);
        std::rewind(process.consoleErr);
        std::string text;
        for (int c = std::fgetc(process.consoleErr); c != EOF; c = std::fgetc(process.consoleErr))
            text += static_cast<char>(c);
        std::fclose(process.consoleErr);
        process.consoleErr = std::tmpfile();
        return text;
    }

    std::FILE* savedErr = nullptr;
};

// Three pieces whose rotation 0 shares left colour 3 and top colour 2, and nothing else
// lands in that slot: the list X, Y, Z.
class ListEditingThreeEntries : public ListEditing {
protected:
    void SetUp() override {
        ListEditing::SetUp();
        buildFromPieces({{1, 0, 4, 5, 2, 3}, {2, 0, 6, 7, 2, 3}, {3, 0, 8, 9, 2, 3}});
        x = rotate(0, puzzle.pieceCodes[1]);
        y = rotate(0, puzzle.pieceCodes[2]);
        z = rotate(0, puzzle.pieceCodes[3]);
        slot = pairIndex(x);
        ASSERT_EQ(entriesOf(puzzle.interiorByLeftTop[slot]), (std::vector{x, y, flaggedLast(z)}));
        before = takeImage();
    }
    PieceCode x = 0, y = 0, z = 0;
    int slot = 0;
    std::unique_ptr<TablesImage> before;
};

// ---- Removing from and restoring one list ----

TEST_F(ListEditingThreeEntries, RemovingFirstMovesLastIntoTheGap) {
    UndoRecord record{};
    removeFromList(puzzle.interiorByLeftTop.data(), slot, x, record);
    EXPECT_EQ(entriesOf(puzzle.interiorByLeftTop[slot]), (std::vector{z, flaggedLast(y)}));
    restoreFromList(record);
    EXPECT_TRUE(*takeImage() == *before);
    EXPECT_EQ(takeErr(), "");
}

TEST_F(ListEditingThreeEntries, RemovingMiddleFlagsTheNewLast) {
    UndoRecord record{};
    removeFromList(puzzle.interiorByLeftTop.data(), slot, y, record);
    EXPECT_EQ(entriesOf(puzzle.interiorByLeftTop[slot]), (std::vector{x, flaggedLast(z)}));
    restoreFromList(record);
    EXPECT_TRUE(*takeImage() == *before);
    EXPECT_EQ(takeErr(), "");
}

TEST_F(ListEditingThreeEntries, RemovingLastFlagsItsPredecessor) {
    UndoRecord record{};
    removeFromList(puzzle.interiorByLeftTop.data(), slot, z, record);
    EXPECT_EQ(entriesOf(puzzle.interiorByLeftTop[slot]), (std::vector{x, flaggedLast(y)}));
    restoreFromList(record);
    EXPECT_TRUE(*takeImage() == *before);
    EXPECT_EQ(takeErr(), "");
}

TEST_F(ListEditingThreeEntries, ShortenedListIsPaddedWithEmptyWordsUpToItsFormerEnd) {
    const CandidateList list = puzzle.interiorByLeftTop[slot];
    UndoRecord first{};
    UndoRecord second{};
    removeFromList(puzzle.interiorByLeftTop.data(), slot, z, first);
    removeFromList(puzzle.interiorByLeftTop.data(), slot, x, second);
    EXPECT_EQ(entriesOf(list), (std::vector{flaggedLast(y)}));
    EXPECT_EQ(list[2], emptyCode);
    EXPECT_EQ(list[3], emptyCode);
    EXPECT_EQ(list[4], emptyCode);
    restoreFromList(second);
    restoreFromList(first);
    EXPECT_TRUE(*takeImage() == *before);
}

TEST_F(ListEditing, RemovingOnlyEntryEmptiesTheSlotAndRestoreGivesTheSamePointerBack) {
    buildFromPieces({{7, 0, 1, 2, 3, 4}});
    const PieceCode code = rotate(0, puzzle.pieceCodes[7]);
    const CandidateList list = puzzle.interiorByLeftTop[pairIndex(code)];
    ASSERT_EQ(entriesOf(list), (std::vector{flaggedLast(code)}));
    const auto before = takeImage();

    UndoRecord record{};
    removeFromList(puzzle.interiorByLeftTop.data(), pairIndex(code), code, record);
    EXPECT_EQ(puzzle.interiorByLeftTop[pairIndex(code)], nullptr);
    EXPECT_EQ(record.savedList, list);

    restoreFromList(record);
    EXPECT_EQ(puzzle.interiorByLeftTop[pairIndex(code)], list);
    EXPECT_TRUE(*takeImage() == *before);
    EXPECT_EQ(takeErr(), "");
}

TEST_F(ListEditing, TwoRotationsOfOnePieceInOneListComeBackInOrder) {
    // Piece 10 shows the same colours in rotations 0 and 2, so both stand in slot [6][7],
    // between piece 9 before them and piece 11 after them.
    buildFromPieces({{9, 0, 1, 2, 7, 6}, {10, 0, 7, 6, 7, 6}, {11, 0, 3, 4, 7, 6}});
    const int slot = 6 * 32 + 7;
    ASSERT_EQ(entriesOf(puzzle.interiorByLeftTop[slot]),
              (std::vector{rotate(0, puzzle.pieceCodes[9]), rotate(0, puzzle.pieceCodes[10]),
                           rotate(2, puzzle.pieceCodes[10]),
                           flaggedLast(rotate(0, puzzle.pieceCodes[11]))}));
    const auto before = takeImage();

    removePiece(10, puzzle.interiorByLeftTop);
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, 4);
    EXPECT_EQ(entriesOf(puzzle.interiorByLeftTop[slot]),
              (std::vector{rotate(0, puzzle.pieceCodes[9]),
                           flaggedLast(rotate(0, puzzle.pieceCodes[11]))}));
    EXPECT_EQ(puzzle.interiorByLeftTop[7 * 32 + 6], nullptr);

    restorePiece();
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, 0);
    EXPECT_TRUE(*takeImage() == *before);
    EXPECT_EQ(takeErr(), "");
}

TEST_F(ListEditing, ColourTablesLoseAllFourRotationsAndGetThemBack) {
    buildFromPieces({{20, 0, 1, 2, 3, 4}, {21, 0, 4, 3, 2, 1}});
    const auto before = takeImage();
    removePieceByTop(20);
    removePieceByLeft(20);
    EXPECT_EQ(puzzleRun.edits.topUndo.count, 4);
    EXPECT_EQ(puzzleRun.edits.leftUndo.count, 4);
    for (int r = 0; r < 4; ++r) {
        const PieceCode code = rotate(r, puzzle.pieceCodes[20]);
        EXPECT_FALSE(listHolds(puzzle.interiorByTop[topOf(code)], code)) << "rotation " << r;
        EXPECT_FALSE(listHolds(puzzle.interiorByLeft[leftOf(code)], code)) << "rotation " << r;
        EXPECT_TRUE(listHolds(puzzle.interiorByLeftTop[pairIndex(code)], code)) << "rotation " << r;
    }
    restorePieceByLeft();
    restorePieceByTop();
    EXPECT_TRUE(*takeImage() == *before);
    EXPECT_EQ(takeErr(), "");
}

// ---- Random sequences ----

// One removal of the sequence, undone later by the matching restore.
enum class Removal { interiorPair, edgePair, cornerPair, byTop, byLeft };

TEST_F(ListEditing, RandomRemovalsUndoneInReverseLeaveEveryWordAsBefore) {
    std::mt19937 rng(20240611);
    buildRandomPieces(rng, [](int p) { return p % 7 == 0 ? 2 : p % 3 == 0 ? 1 : 0; });
    const auto before = takeImage();

    for (int trial = 0; trial < 200; ++trial) {
        std::vector<int> pieces(pieceCount);
        for (int p = 0; p < pieceCount; ++p)
            pieces[p] = p;
        std::shuffle(pieces.begin(), pieces.end(), rng);
        pieces.resize(std::uniform_int_distribution<int>(1, 60)(rng));

        std::vector<std::pair<int, Removal>> done;
        for (int p : pieces) {
            std::vector<Removal> choices;
            switch (puzzle.borderCount[p]) {
                case 0:
                    choices = {Removal::interiorPair, Removal::byTop, Removal::byLeft};
                    break;
                case 1:
                    choices = {Removal::edgePair};
                    break;
                default:
                    choices = {Removal::cornerPair};
                    break;
            }
            std::shuffle(choices.begin(), choices.end(), rng);
            choices.resize(std::uniform_int_distribution<std::size_t>(1, choices.size())(rng));
            for (Removal kind : choices) {
                switch (kind) {
                    case Removal::interiorPair:
                        removePiece(p, puzzle.interiorByLeftTop);
                        break;
                    case Removal::edgePair:
                        removePiece(p, puzzle.edgeByLeftTop);
                        break;
                    case Removal::cornerPair:
                        removePiece(p, puzzle.cornerByLeftTop);
                        break;
                    case Removal::byTop:
                        removePieceByTop(p);
                        break;
                    case Removal::byLeft:
                        removePieceByLeft(p);
                        break;
                }
                done.emplace_back(p, kind);
            }
        }

        for (const auto& [p, kind] : done)
            for (int r = 0; r < 4; ++r) {
                const PieceCode code = rotate(r, puzzle.pieceCodes[p]);
                CandidateList list = nullptr;
                switch (kind) {
                    case Removal::interiorPair:
                        list = puzzle.interiorByLeftTop[pairIndex(code)];
                        break;
                    case Removal::edgePair:
                        list = puzzle.edgeByLeftTop[pairIndex(code)];
                        break;
                    case Removal::cornerPair:
                        list = puzzle.cornerByLeftTop[pairIndex(code)];
                        break;
                    case Removal::byTop:
                        list = puzzle.interiorByTop[topOf(code)];
                        break;
                    case Removal::byLeft:
                        list = puzzle.interiorByLeft[leftOf(code)];
                        break;
                }
                ASSERT_FALSE(listHolds(list, code)) << "trial " << trial << " piece " << p;
            }

        for (auto it = done.rbegin(); it != done.rend(); ++it) {
            switch (it->second) {
                case Removal::byTop:
                    restorePieceByTop();
                    break;
                case Removal::byLeft:
                    restorePieceByLeft();
                    break;
                default:
                    restorePiece();
                    break;
            }
        }
        ASSERT_EQ(puzzleRun.edits.pairUndo.count + puzzleRun.edits.topUndo.count +
                      puzzleRun.edits.leftUndo.count,
                  0)
            << "trial " << trial;
        ASSERT_TRUE(*takeImage() == *before) << "trial " << trial;
    }
    EXPECT_EQ(takeErr(), "");
}

// ---- Codes that are not found ----

TEST_F(ListEditing, CodeMissingFromItsListIsReportedWithTheWholeCodeAndChangesNothing) {
    // Piece 5 in rotation 1 has left 2 and top 3; piece 6 alone stands in that slot.
    buildFromPieces({{6, 0, 0, 0, 3, 2}});
    const PieceCode missing = 0x02910C81;
    ASSERT_NE(puzzle.interiorByLeftTop[pairIndex(missing)], nullptr);
    const auto before = takeImage();

    UndoRecord record{};
    removeFromList(puzzle.interiorByLeftTop.data(), pairIndex(missing), missing, record);
    EXPECT_EQ(takeErr(), "removeFromList: Piece not found 43060353\n");
    EXPECT_TRUE(*takeImage() == *before);

    restoreFromList(record);
    EXPECT_TRUE(*takeImage() == *before);
    EXPECT_EQ(takeErr(), "");
}

TEST_F(ListEditing, RemovalFromEmptySlotIsReportedAsNotFound) {
    buildFromPieces({});
    const PieceCode code = makePieceCode(5, 2, 1, 4, 3);
    ASSERT_EQ(puzzle.interiorByLeftTop[pairIndex(code)], nullptr);
    UndoRecord record{};
    removeFromList(puzzle.interiorByLeftTop.data(), pairIndex(code), code, record);
    EXPECT_EQ(takeErr(), "removeFromList: Piece not found 42045474\n");
    restoreFromList(record);
    EXPECT_EQ(puzzle.interiorByLeftTop[pairIndex(code)], nullptr);
}

TEST_F(ListEditing, PieceOfAnotherKindStillTakesFourPlacesWhoseRestoreChangesNothing) {
    buildFromPieces({{5, 1, 2, 1, 4, 3}, {6, 0, 0, 0, 3, 2}});
    const auto before = takeImage();
    removePiece(5, puzzle.interiorByLeftTop);
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, 4);
    EXPECT_EQ(takeErr(),
              "removeFromList: Piece not found 42045474\n"
              "removeFromList: Piece not found 43060353\n"
              "removeFromList: Piece not found 44075108\n"
              "removeFromList: Piece not found 45220931\n");
    restorePiece();
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, 0);
    EXPECT_TRUE(*takeImage() == *before);
}

TEST_F(ListEditing, PieceRemovedTwiceIsRestoredExactlyOnce) {
    buildFromPieces({{30, 0, 1, 2, 3, 4}, {31, 0, 1, 2, 3, 4}});
    const auto before = takeImage();
    removePiece(30, puzzle.interiorByLeftTop);
    removePiece(30, puzzle.interiorByLeftTop);
    EXPECT_NE(takeErr(), "");
    restorePiece();
    restorePiece();
    EXPECT_TRUE(*takeImage() == *before);
    EXPECT_EQ(takeErr(), "");
}

// ---- End-flag check ----

TEST_F(ListEditing, CheckListReportsLastEntryWithoutFlagOnce) {
    std::array<PieceCode, 5> words{emptyCode, 0x100, 0x200, 0x300, emptyCode};
    checkList(words.data());
    EXPECT_EQ(takeErr(), "Last in list has not last bit set\n");
}

TEST_F(ListEditing, CheckListReportsEachFlaggedEntryBeforeTheLastOnOneLine) {
    std::array<PieceCode, 5> words{emptyCode, flaggedLast(0x100), flaggedLast(0x200),
                                   flaggedLast(0x300), emptyCode};
    checkList(words.data());
    EXPECT_EQ(takeErr(),
              "Element that is not last in list has last bit set"
              "Element that is not last in list has last bit set");
}

TEST_F(ListEditing, CheckListAcceptsWellFormedAndEmptyLists) {
    std::array<PieceCode, 4> words{emptyCode, 0x100, flaggedLast(0x200), emptyCode};
    std::array<PieceCode, 2> empty{emptyCode, emptyCode};
    checkList(words.data());
    checkList(empty.data());
    checkList(nullptr);
    EXPECT_EQ(takeErr(), "");
}

// ---- Bulk removal and restore ----

// Gives every piece the kind of the square it stands on: piece f on fill position f, and
// piece 255 on the hint square; the board holds them in rotation 0.
class ListEditingPlacedBoard : public ListEditing {
protected:
    void SetUp() override {
        ListEditing::SetUp();
        std::mt19937 rng(7);
        buildRandomPieces(rng, [](int p) {
            return p < depthCount ? squareKind[fillOrder[p]] : squareKind[hintSlot];
        });
        for (int f = 0; f < depthCount; ++f)
            search.board[fillOrder[f]] = puzzle.pieceCodes[f];
        before = takeImage();
    }
    std::unique_ptr<TablesImage> before;
};

TEST_F(ListEditingPlacedBoard, RemovesInteriorAndEdgePiecesAndColourListsOnlyUpTo110) {
    const int n = 114;
    ASSERT_EQ(squareKind[fillOrder[110]], 0);
    ASSERT_EQ(squareKind[fillOrder[113]], 0);
    int interior = 0, interiorUpTo110 = 0, edge = 0;
    for (int f = 0; f < n; ++f) {
        const int kind = squareKind[fillOrder[f]];
        interior += kind == 0;
        interiorUpTo110 += kind == 0 && f <= 110;
        edge += kind == 1;
    }

    removePlacedPieces(n);
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, 4 * (interior + edge));
    EXPECT_EQ(puzzleRun.edits.topUndo.count, 4 * interiorUpTo110);
    EXPECT_EQ(puzzleRun.edits.leftUndo.count, 4 * interiorUpTo110);
    EXPECT_EQ(takeErr(), "");

    for (int r = 0; r < 4; ++r) {
        const PieceCode at110 = rotate(r, puzzle.pieceCodes[110]);
        const PieceCode at113 = rotate(r, puzzle.pieceCodes[113]);
        EXPECT_FALSE(listHolds(puzzle.interiorByLeftTop[pairIndex(at110)], at110));
        EXPECT_FALSE(listHolds(puzzle.interiorByTop[topOf(at110)], at110));
        EXPECT_FALSE(listHolds(puzzle.interiorByLeft[leftOf(at110)], at110));
        EXPECT_FALSE(listHolds(puzzle.interiorByLeftTop[pairIndex(at113)], at113));
        EXPECT_TRUE(listHolds(puzzle.interiorByTop[topOf(at113)], at113));
        EXPECT_TRUE(listHolds(puzzle.interiorByLeft[leftOf(at113)], at113));
        const PieceCode edgeAt1 = rotate(r, puzzle.pieceCodes[1]);
        ASSERT_EQ(squareKind[fillOrder[1]], 1);
        EXPECT_FALSE(listHolds(puzzle.edgeByLeftTop[pairIndex(edgeAt1)], edgeAt1));
    }
    // Piece 114 stands beyond the first n squares and keeps its place.
    const PieceCode beyond = puzzle.pieceCodes[114];
    if (squareKind[fillOrder[114]] == 0)
        EXPECT_TRUE(listHolds(puzzle.interiorByLeftTop[pairIndex(beyond)], beyond));
    else
        EXPECT_TRUE(listHolds(puzzle.edgeByLeftTop[pairIndex(beyond)], beyond));
}

TEST_F(ListEditingPlacedBoard, CornerPiecesStayInTheirLists) {
    ASSERT_EQ(squareKind[fillOrder[0]], 2);
    removePlacedPieces(1);
    EXPECT_EQ(puzzleRun.edits.pairUndo.count + puzzleRun.edits.topUndo.count +
                  puzzleRun.edits.leftUndo.count,
              0);
    EXPECT_TRUE(*takeImage() == *before);
}

TEST_F(ListEditingPlacedBoard, RestoreAllEmptiesEveryStackAndGivesBackEveryList) {
    // A loader-style removal of an interior piece first, then the bulk removal of the
    // depth-80 step.
    ASSERT_EQ(squareKind[fillOrder[199]], 0);
    removePiece(199, puzzle.interiorByLeftTop);
    removePieceByTop(199);
    removePieceByLeft(199);
    removePlacedPieces(80);
    ASSERT_GT(puzzleRun.edits.topUndo.count, 0);
    EXPECT_FALSE(*takeImage() == *before);

    restoreAll();
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, 0);
    EXPECT_EQ(puzzleRun.edits.topUndo.count, 0);
    EXPECT_EQ(puzzleRun.edits.leftUndo.count, 0);
    EXPECT_TRUE(*takeImage() == *before);
    EXPECT_EQ(takeErr(), "");
}

// ---- Stack limits ----

// All 256 pieces interior, so that removing each once fills pairUndo exactly.
class ListEditingFullStack : public ListEditing {
protected:
    void SetUp() override {
        ListEditing::SetUp();
        std::mt19937 rng(11);
        buildRandomPieces(rng, [](int) { return 0; });
        before = takeImage();
        for (int p = 0; p < pieceCount; ++p)
            removePiece(p, puzzle.interiorByLeftTop);
        ASSERT_EQ(puzzleRun.edits.pairUndo.count, undoStackSize);
        full = takeImage();
        ASSERT_EQ(takeErr(), "");
    }
    std::unique_ptr<TablesImage> before;
    std::unique_ptr<TablesImage> full;
};

TEST_F(ListEditingFullStack, RemovalOnFullStackIsRefusedWithAMessageAndChangesNothing) {
    removePieceByTop(3);  // another stack still has room
    ASSERT_EQ(puzzleRun.edits.topUndo.count, 4);
    restorePieceByTop();
    ASSERT_TRUE(*takeImage() == *full);

    removePiece(3, puzzle.interiorByLeftTop);
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, undoStackSize);
    EXPECT_TRUE(*takeImage() == *full);
    EXPECT_EQ(takeErr(),
              "removeFromList: undo stack full, piece 3 rotation 0 not removed\n"
              "removeFromList: undo stack full, piece 3 rotation 1 not removed\n"
              "removeFromList: undo stack full, piece 3 rotation 2 not removed\n"
              "removeFromList: undo stack full, piece 3 rotation 3 not removed\n");
}

TEST_F(ListEditingFullStack, RefusedRemovalsAreMatchedByRestoresThatChangeNothing) {
    removePiece(3, puzzle.interiorByLeftTop);
    removePiece(4, puzzle.interiorByLeftTop);
    restorePiece();
    restorePiece();
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, undoStackSize);
    EXPECT_TRUE(*takeImage() == *full);

    // The next restore undoes the last recorded piece, 255.
    restorePiece();
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, undoStackSize - 4);
    const PieceCode code = puzzle.pieceCodes[255];
    EXPECT_TRUE(listHolds(puzzle.interiorByLeftTop[pairIndex(code)], code));
    EXPECT_FALSE(listHolds(puzzle.interiorByLeftTop[pairIndex(puzzle.pieceCodes[254])],
                           puzzle.pieceCodes[254]));
}

TEST_F(ListEditingFullStack, RestoreAllAfterRefusalsGivesBackEveryList) {
    removePiece(9, puzzle.interiorByLeftTop);
    removePiece(9, puzzle.interiorByLeftTop);
    restoreAll();
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, 0);
    EXPECT_TRUE(*takeImage() == *before);
}

TEST_F(ListEditingFullStack, RestoreOnEmptyStackChangesNothing) {
    restoreAll();
    restorePiece();
    restorePieceByTop();
    restorePieceByLeft();
    EXPECT_EQ(puzzleRun.edits.pairUndo.count + puzzleRun.edits.topUndo.count +
                  puzzleRun.edits.leftUndo.count,
              0);
    EXPECT_TRUE(*takeImage() == *before);
}

}  // namespace

// ---- The indexed editing against the literal procedure ----

// Removal and restore exactly as the editing procedure states them, walking each list, on a
// copy of the pool and of the four edited tables (slots as pool offsets, -1 for null).
struct LiteralLists {
    struct Record {
        int position, table, slot, saved;
        PieceCode code;
    };
    std::array<PieceCode, poolSize> pool{};
    std::array<std::array<int, pairSlots>, 4> slots{};
    std::array<std::vector<Record>, 4> stacks;  // one per table, like the search's stacks

    static CandidateList* tableData(int t) {
        const std::array<CandidateList*, 4> tables{
            puzzle.interiorByLeftTop.data(), puzzle.edgeByLeftTop.data(),
            puzzle.interiorByTop.data(), puzzle.interiorByLeft.data()};
        return tables[t];
    }
    static int tableSlots(int t) { return t < 2 ? pairSlots : colourCount; }
    // Takes the real lists as they stand.
    void copyReal() {
        pool = puzzle.candidatePool;
        for (int t = 0; t < 4; ++t)
            for (int s = 0; s < tableSlots(t); ++s) {
                const CandidateList list = tableData(t)[s];
                slots[t][s] =
                    list == nullptr ? -1 : static_cast<int>(list - puzzle.candidatePool.data());
            }
    }
    bool sameAsReal() const {
        LiteralLists real;
        real.copyReal();
        return std::equal(pool.begin(), pool.begin() + puzzle.poolUsed, real.pool.begin()) &&
               slots == real.slots;
    }
    void remove(int t, int slot, PieceCode code) {
        Record record{-1, t, slot, -1, code & ~lastInListBit};
        if (slots[t][slot] >= 0) {
            PieceCode* e = &pool[slots[t][slot] + 1];
            int i = 0;
            while (e[i] != emptyCode && (e[i] & ~lastInListBit) != record.code)
                ++i;
            if (e[i] != emptyCode) {
                record.position = i;
                if (e[i + 1] == emptyCode) {
                    if (i > 0)
                        e[i - 1] |= lastInListBit;
                    else
                        record.saved = std::exchange(slots[t][slot], -1);
                    e[i] = emptyCode;
                } else {
                    int j = i + 1;
                    while (e[j + 1] != emptyCode)
                        ++j;
                    e[i] = e[j] & ~lastInListBit;
                    e[j - 1] |= lastInListBit;
                    e[j] = emptyCode;
                }
            }
        }
        stacks[t].push_back(record);
    }
    void restore(int t) {
        const Record record = stacks[t].back();
        stacks[t].pop_back();
        if (record.position < 0) return;
        if (slots[t][record.slot] < 0) slots[t][record.slot] = record.saved;
        PieceCode* e = &pool[slots[t][record.slot] + 1];
        const int i = record.position;
        if (e[i] == emptyCode) {
            e[i] = record.code | lastInListBit;
            if (i > 0) e[i - 1] &= ~lastInListBit;
        } else {
            int t2 = i + 1;
            while (e[t2] != emptyCode)
                ++t2;
            e[t2 - 1] &= ~lastInListBit;
            e[t2] = e[i] | lastInListBit;
            e[i] = record.code;
        }
    }
    void removePieceFrom(int t, int piece) {
        for (int r = 0; r < 4; ++r) {
            const PieceCode code = puzzle.rotationTable[4 * piece + r].code;
            remove(t, t < 2 ? pairIndex(code) : t == 2 ? topOf(code) : leftOf(code), code);
        }
    }
    void restorePieceOf(int t) {
        for (int r = 0; r < 4; ++r)
            restore(t);
    }
};

// Random removals, restores, deferred removals and re-ordered lists on a generated puzzle,
// done by the indexed editing and by the literal procedure: after every step the pool is
// the same word for word and every slot the same.
TEST_F(ListEditing, IndexedEditingLeavesEveryWordAsTheLiteralProcedure) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle({4, 12, 4})));
    readPieceFile(dir.file("k7pieces.txt").c_str());
    buildCandidateTables();
    seedRandom(program.mainRandom, 99);
    std::mt19937 rng(5);
    auto literal = std::make_unique<LiteralLists>();
    literal->copyReal();
    // The table of every group of four pair removals, and the deferred pieces, newest last.
    std::array<std::vector<int>, 1> groups;
    std::vector<int> deferred;
    auto piecesOfKind = [](int kind) {
        std::vector<int> pieces;
        for (int p = 0; p < pieceCount; ++p)
            if (puzzle.borderCount[p] == kind) pieces.push_back(p);
        return pieces;
    };
    const std::vector<int> interior = piecesOfKind(0);
    const std::vector<int> edges = piecesOfKind(1);
    // A piece of `from` that `taken` does not hold yet, which it then holds.
    std::array<std::set<int>, 3> taken;  // out of the interior pairs, edge pairs, colour lists
    auto pick = [&](const std::vector<int>& from, std::set<int>& out) {
        int p = 0;
        do
            p = from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
        while (!out.insert(p).second);
        return p;
    };
    std::vector<int> pairPieces;

    for (int step = 0; step < 3000; ++step) {
        const int action = std::uniform_int_distribution<int>(0, 9)(rng);
        if (action <= 2 && groups[0].size() < 60) {  // a pair-table removal
            const bool edge = action == 2;
            const int p = pick(edge ? edges : interior, taken[edge ? 1 : 0]);
            removePiece(p, edge ? puzzle.edgeByLeftTop : puzzle.interiorByLeftTop);
            literal->removePieceFrom(edge ? 1 : 0, p);
            groups[0].push_back(edge ? 1 : 0);
            pairPieces.push_back(p);
        } else if (action <= 4 && !groups[0].empty()) {
            restorePiece();
            literal->restorePieceOf(groups[0].back());
            taken[groups[0].back()].erase(pairPieces.back());
            groups[0].pop_back();
            pairPieces.pop_back();
        } else if (action == 5 && deferred.size() < 60) {
            const int p = pick(interior, taken[2]);
            deferRemovalsByTopAndLeft(p);
            literal->removePieceFrom(2, p);
            literal->removePieceFrom(3, p);
            deferred.push_back(p);
        } else if (action == 6 && !deferred.empty()) {
            restoreDeferredRemovals();
            literal->restorePieceOf(2);
            literal->restorePieceOf(3);
            taken[2].erase(deferred.back());
            deferred.pop_back();
        } else if (action == 7) {
            applyDeferredRemovals();
        } else if (action == 8 && !removalsDeferred()) {
            // A list re-ordered behind the index's back: the editing must notice.
            const bool byTop = std::uniform_int_distribution<int>(0, 1)(rng) == 0;
            const CandidateList list =
                byTop ? puzzle.interiorByTop[std::uniform_int_distribution<int>(
                            0, colourCount - 1)(rng)]
                      : puzzle.interiorByLeftTop[std::uniform_int_distribution<int>(
                            0, pairSlots - 1)(rng)];
            reorderCandidateList(list);
            for (PieceCode* e = list == nullptr ? nullptr : list + 1; e && *e != emptyCode; ++e)
                literal->pool[e - puzzle.candidatePool.data()] = *e;
        }
        if (!removalsDeferred()) {
            ASSERT_TRUE(literal->sameAsReal()) << "step " << step;
        }
    }
    restoreAll();
    for (int t = 0; t < 4; ++t)
        while (!literal->stacks[t].empty())
            literal->restore(t);
    EXPECT_TRUE(literal->sameAsReal());
    EXPECT_EQ(takeErr(), "");
}

// The end-flag messages come after every edit in debug and test builds; an optimised build
// leaves that walk out.
TEST_F(ListEditingThreeEntries, EditOfACorruptedListReportsItsFlagsInDebugBuilds) {
#ifdef NDEBUG
    GTEST_SKIP() << "optimised builds do not check the lists they edit";
#else
    CandidateList list = puzzle.interiorByLeftTop[slot];
    list[1] |= lastInListBit;  // X flaggedLast although Y and Z follow
    removePiece(3, puzzle.interiorByLeftTop);
    EXPECT_NE(takeErr().find("Element that is not last in list has last bit set"),
              std::string::npos);
    restorePiece();
    EXPECT_NE(takeErr().find("Element that is not last in list has last bit set"),
              std::string::npos);
#endif
}

namespace {

// One step of a made-up search over the depths that remove their pieces: place a piece (its
// number; the kind says the table), take the newest back (-1), or read a list (-2, with a
// table and slot).
struct SearchMove {
    int piece;
    int table;
    int slot;
};

// The lists each read of `moves` saw, then every list after a last read of all, removing
// placed pieces at once or letting their removals wait.
std::vector<std::vector<PieceCode>> listsSeen(const std::vector<SearchMove>& moves, bool waiting) {
    std::vector<std::vector<PieceCode>> seen;
    std::vector<int> placed;
    PairTable* const tables[] = {&puzzle.interiorByLeftTop, &puzzle.edgeByLeftTop};
    for (const SearchMove& move : moves) {
        if (move.piece >= 0) {
            const int frame = static_cast<int>(placed.size());
            if (waiting)
                waitRemovals(frame, move.piece, move.table);
            else
                removePiece(move.piece, *tables[move.table]);
            placed.push_back(move.piece);
        } else if (move.piece == -1) {
            placed.pop_back();
            if (waiting)
                undoWaitingRemovals(static_cast<int>(placed.size()));
            else
                restorePiece();
        } else {
            if (waiting && removalsWaitFor(puzzleRun.edits, move.table, move.slot))
                makeWaitingRemovals(move.table, move.slot);
            seen.push_back(entriesOf((*tables[move.table])[move.slot]));
        }
    }
    if (waiting) makeAllWaitingRemovals();
    for (PairTable* table : tables)
        for (const CandidateList list : *table)
            seen.push_back(entriesOf(list));
    restoreAll();
    return seen;
}

}  // namespace

TEST_F(ListEditing, WaitingRemovalsShowEveryListAsRemovingAtOnceWould) {
    std::mt19937 rng(20261209);
    buildRandomPieces(rng, [](int p) { return p % 3 == 0 ? 1 : 0; });
    const auto before = takeImage();
    for (int trial = 0; trial < 100; ++trial) {
        std::vector<SearchMove> moves;
        std::vector<int> pieces(pieceCount);
        std::iota(pieces.begin(), pieces.end(), 0);
        std::shuffle(pieces.begin(), pieces.end(), rng);
        std::size_t used = 0;
        int depth = 0;
        for (int step = 0; step < 400; ++step) {
            const int choice = std::uniform_int_distribution<int>(0, 2)(rng);
            if (choice == 0 && depth < waitingFrameCount && used < pieces.size()) {
                const int p = pieces[used++];
                moves.push_back({p, puzzle.borderCount[p], 0});
                ++depth;
            } else if (choice == 1 && depth > 0) {
                moves.push_back({-1, 0, 0});
                --depth;
            } else {
                const int table = std::uniform_int_distribution<int>(0, 1)(rng);
                const PieceCode code = rotate(std::uniform_int_distribution<int>(0, 3)(rng),
                                              puzzle.pieceCodes[pieces[rng() % pieces.size()]]);
                moves.push_back({-2, table, pairIndex(code)});
            }
        }
        ASSERT_EQ(listsSeen(moves, true), listsSeen(moves, false)) << "trial " << trial;
        ASSERT_FALSE(anyRemovalsRecorded()) << "trial " << trial;
        ASSERT_TRUE(*takeImage() == *before) << "trial " << trial;
    }
    EXPECT_EQ(takeErr(), "");
}
