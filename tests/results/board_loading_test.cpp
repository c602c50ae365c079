// Loading a BoardFile onto the board of a run, on the pieces of a generated puzzle: the
// cells, the board lines, the pieces taken out of play and out of the candidate lists, and
// every kind of malformed file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/console.h"
#include "base/program_state.h"
#include "base/random.h"
#include "base/settings.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/list_editing.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/puzzle_tables.h"
#include "results/board_files.h"
#include "results/board_grid.h"
#include "run/resets.h"
#include "run/run_loop.h"
#include "run/run_setup.h"
#include "run/startup.h"
#include "search/board_geometry.h"
#include "search/search_state.h"
#include "tests/table_snapshot.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

bool candidateListHolds(CandidateList list, PieceCode code) {
    if (list == nullptr) return false;
    for (const PieceCode* e = list + 1; *e != emptyCode; ++e)
        if ((*e & ~lastInListBit) == code) return true;
    return false;
}

std::string joinedLines(const std::vector<std::string>& cells) {
    std::string line;
    for (const std::string& cell : cells)
        line += (line.empty() ? "" : " ") + cell;
    return line + "\n";
}

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

const std::string emptyLine = joinedLines(std::vector<std::string>(16, "---/-"));

std::string notFound(PieceCode code) {
    return "removeFromList: Piece not found " + std::to_string(code) + "\n";
}

// The messages of `err` other than the codes that list editing did not find.
std::string withoutNotFound(const std::string& err) {
    std::string kept;
    for (const std::string& line : linesOf(err))
        if (line.rfind("removeFromList: Piece not found ", 0) != 0) kept += line + "\n";
    return kept;
}

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

struct Loaded {
    std::string out;
    std::string err;
};

// The pieces and candidate tables of a generated puzzle and every record at its start values;
// the lists are given back afterwards.
class LoadedPuzzle : public testing::Test {
protected:
    void SetUp() override {
        resetProgram();
        plantedPuzzle = generatePuzzle({7, 17, 5});
        writeFile(dir.file("k7pieces.txt"), pieceFileText(plantedPuzzle));
        readPieceFile(dir.file("k7pieces.txt").c_str());
        buildCandidateTables();
        before = snapshotTables();
        const auto lines = linesOf(solutionBoardText(plantedPuzzle));
        for (const std::string& line : lines)
            if (line.find('/') != std::string::npos) solution.push_back(line + "\n");
    }
    void TearDown() override { restoreAll(); }

    std::string solutionLines() const {
        std::string all;
        for (const std::string& line : solution)
            all += line;
        return all;
    }
    std::string boardFile() const { return dir.file("board.txt"); }
    Loaded loadPath(const std::string& path) {
        std::snprintf(program.settings.boardPath, sizeof program.settings.boardPath, "%s",
                      path.c_str());
        ConsoleCapture capture;
        loadBoard();
        return {capture.out(), capture.err()};
    }
    Loaded load(const std::string& text) {
        writeFile(boardFile(), text);
        return loadPath(boardFile());
    }

    // The planted code of slot s, and its cell text.
    PieceCode planted(int s) const {
        return puzzle.rotationTable[4 * plantedPuzzle.slotPiece[s] + plantedPuzzle.slotRotation[s]]
            .code;
    }
    std::string cellOf(int s) const {
        return std::to_string(plantedPuzzle.slotPiece[s] + 1) + "/" +
               std::to_string(plantedPuzzle.slotRotation[s]);
    }
    // The planted cells of slot row `row`, as a list of texts.
    std::vector<std::string> rowCells(int row) const {
        std::vector<std::string> cells;
        for (int c = 0; c < 16; ++c)
            cells.push_back(cellOf(16 * row + c));
        return cells;
    }
    // Some slot of the given kind, other than the hint slot.
    static int slotOfKind(int kind, int skip = 0) {
        for (int s = 0; s < 256; ++s)
            if (squareKind[s] == kind && s != hintSlot && skip-- == 0) return s;
        return -1;
    }
    // The BoardFile whose only pieces are `cells`, given per slot.
    static std::string boardWith(const std::vector<std::pair<int, std::string>>& cells) {
        std::string text;
        for (int row = 15; row >= 0; --row) {
            std::vector<std::string> line(16, "---/-");
            for (const auto& [slot, cell] : cells)
                if (slot / 16 == row) line[slot % 16] = cell;
            text += joinedLines(line);
        }
        return text;
    }

    std::string badCell(int line, int cell, const std::string& text) const {
        return "Board file " + boardFile() + ", line " + std::to_string(line) + ", cell " +
               std::to_string(cell) + ": \"" + text + "\" is not a piece, taken as empty\n";
    }
    std::string shortLine(int line, int cells) const {
        return "Board file " + boardFile() + ", line " + std::to_string(line) + ": only " +
               std::to_string(cells) + " cells, the rest of the row taken as empty\n";
    }
    std::string endsAfter(int lines) const {
        return "Board file " + boardFile() + " ends after " + std::to_string(lines) +
               " board lines, the other rows taken as empty\n";
    }
    std::string namedAgain(int line, int cell, int piece) const {
        return "Board file " + boardFile() + ", line " + std::to_string(line) + ", cell " +
               std::to_string(cell) + ": piece " + std::to_string(piece + 1) + " is named again\n";
    }
    int piecesOutOfPlay() const {
        return static_cast<int>(std::count(search.pieceFree.begin(), search.pieceFree.end(), 0));
    }
    bool boardIsEmpty() const {
        return std::all_of(search.board.begin(), search.board.end(),
                           [](PieceCode c) { return c == emptyCode; });
    }

    TempDir dir;
    PlantedPuzzle plantedPuzzle;
    TableSnapshot before;
    std::vector<std::string> solution;  // the 16 board lines of the planted solution
};

using BoardLoadingCells = LoadedPuzzle;
using BoardLoading = LoadedPuzzle;
using BoardLoadingLists = LoadedPuzzle;
using BoardLoadingMalformed = LoadedPuzzle;
using BoardLoadingRun = LoadedPuzzle;

}  // namespace

// --- Cells ---

TEST_F(BoardLoadingCells, PaddedCellNamesThePieceBeforeItsNumberInItsRotation) {
    char cell[16];
    std::snprintf(cell, sizeof cell, "%3d/%d", 7, 2);
    ASSERT_STREQ(cell, "  7/2");
    PieceCode code = 0;
    EXPECT_TRUE(parseCell(cell, code));
    EXPECT_EQ(code, puzzle.rotationTable[4 * 6 + 2].code);
    EXPECT_EQ(pieceNumberOf(code), 6);
    EXPECT_EQ(rotationOf(code), 2);
    EXPECT_EQ(parseCell(cell), code);
}

TEST_F(BoardLoadingCells, FirstAndLastPiecesReadInEveryRotation) {
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(parseCell(("1/" + std::to_string(r)).c_str()), puzzle.rotationTable[r].code);
        EXPECT_EQ(parseCell(("256/" + std::to_string(r)).c_str()),
                  puzzle.rotationTable[4 * 255 + r].code);
    }
}

TEST_F(BoardLoadingCells, EmptyMarksAreValidCellsForAnEmptySlot) {
    for (const char* cell : {"---/-", "0/0", " 0/0", "---/-\r\n"}) {
        PieceCode code = 0;
        EXPECT_TRUE(parseCell(cell, code)) << cell;
        EXPECT_EQ(code, emptyCode) << cell;
    }
}

TEST_F(BoardLoadingCells, CellsThatNameNoPieceAreRefusedAndReadAsEmpty) {
    for (const char* cell :
         {"",     "-5/1", "+5/1",   "257/0", "0/3",    "99999999999999999999999/1",
          "5/",   "/2",   "5/4",    "5/12",  "5/1x",   "5x/1",
          "5 /1", "5//1", "0x1F/2", "---/",  "---/--", "--/-",
          "K7",   "5"}) {
        PieceCode code = 0;
        EXPECT_FALSE(parseCell(cell, code)) << '"' << cell << '"';
        EXPECT_EQ(code, emptyCode) << '"' << cell << '"';
        EXPECT_EQ(parseCell(cell), emptyCode) << '"' << cell << '"';
    }
}

// --- Board lines ---

TEST_F(BoardLoading, PlantedSolutionFillsEverySlotAndTakesEveryPieceOutOfPlay) {
    const Loaded loaded = load(solutionBoardText(plantedPuzzle));
    EXPECT_EQ(loaded.out, "load board " + boardFile() + "\n");
    EXPECT_EQ(loaded.err, "");
    for (int s = 0; s < 256; ++s)
        EXPECT_EQ(search.board[s], planted(s)) << "slot " << s;
    EXPECT_EQ(piecesOutOfPlay(), 256);
}

TEST_F(BoardLoading, FirstBoardLineFillsSlots240To255AndTheSixteenthSlots0To15) {
    std::string text =
        joinedLines(rowCells(15)) + repeated(emptyLine, 14) + joinedLines(rowCells(0));
    load(text);
    for (int s = 0; s < 256; ++s)
        EXPECT_EQ(search.board[s], (s < 16 || s >= 240) ? planted(s) : emptyCode) << "slot " << s;
    EXPECT_EQ(piecesOutOfPlay(), 32);
}

TEST_F(BoardLoading, CommentLinesBeforeTheBoardLoadTheSame) {
    load(solutionBoardText(plantedPuzzle));
    const auto plainBoard = search.board;
    const auto plainFree = search.pieceFree;
    const int plainPairs = puzzleRun.edits.pairUndo.count;
    restoreAll();
    const Loaded loaded =
        load("# a board by hand\n\n   \t\n# rows 15 down to 0\n" + solutionLines());
    EXPECT_EQ(loaded.err, "");
    EXPECT_EQ(search.board, plainBoard);
    EXPECT_EQ(search.pieceFree, plainFree);
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, plainPairs);
}

TEST_F(BoardLoading, CommentLineHoldingASlashIsTakenAsTheFirstBoardLine) {
    const Loaded loaded = load("# see notes/board\n" + solutionLines());
    // The rows of the solution land one slot row lower, where pieces may meet squares of
    // another kind; list editing reports those codes.
    EXPECT_EQ(withoutNotFound(loaded.err), badCell(1, 1, "#") + badCell(1, 2, "see") +
                                               badCell(1, 3, "notes/board") + shortLine(1, 3));
    for (int s = 240; s < 256; ++s)
        EXPECT_EQ(search.board[s], emptyCode) << "slot " << s;
    for (int s = 0; s < 240; ++s)
        EXPECT_EQ(search.board[s], planted(s + 16)) << "slot " << s;
    // The last line of the solution is the seventeenth board line now, and not read.
    for (int s = 0; s < 16; ++s)
        EXPECT_EQ(search.pieceFree[plantedPuzzle.slotPiece[s]], 1) << "slot " << s;
    EXPECT_EQ(piecesOutOfPlay(), 240);
}

TEST_F(BoardLoading, LineOfTwentyCellsUsesItsFirstSixteen) {
    std::vector<std::string> cells = rowCells(15);
    for (int c = 0; c < 4; ++c)
        cells.push_back(cellOf(224 + c));
    const Loaded loaded = load(joinedLines(cells) + repeated(emptyLine, 15));
    EXPECT_EQ(loaded.err, "");
    for (int s = 240; s < 256; ++s)
        EXPECT_EQ(search.board[s], planted(s));
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(search.board[224 + c], emptyCode);
        EXPECT_EQ(search.pieceFree[plantedPuzzle.slotPiece[224 + c]], 1);
    }
    EXPECT_EQ(piecesOutOfPlay(), 16);
}

TEST_F(BoardLoading, SeventeenthBoardLineIsNeverRead) {
    const Loaded loaded = load(repeated(emptyLine, 16) + "5/1 junk/x 9/9\n" + emptyLine);
    EXPECT_EQ(loaded.err, "");
    EXPECT_TRUE(boardIsEmpty());
    EXPECT_EQ(piecesOutOfPlay(), 0);
}

TEST_F(BoardLoading, PaddedCellOnALineNamesThePieceInItsRotation) {
    // Piece 7 of the file, on its planted square.
    int home = 0;
    while (plantedPuzzle.slotPiece[home] != 6)
        ++home;
    char cell[16];
    std::snprintf(cell, sizeof cell, "%3d/%d", 7, 2);
    const Loaded loaded = load(boardWith({{home, cell}}));
    EXPECT_EQ(loaded.err, "");
    EXPECT_EQ(search.board[home], puzzle.rotationTable[4 * 6 + 2].code);
    EXPECT_EQ(search.pieceFree[6], 0);
    EXPECT_EQ(piecesOutOfPlay(), 1);
}

TEST_F(BoardLoading, EmptyMarksLeaveTheirSlotsEmptyAndEveryPieceFree) {
    const std::string mixed =
        joinedLines({"0/0", "---/-", "0/0", "0/0", "---/-", "---/-", "0/0", "0/0", "---/-", "0/0",
                     "---/-", "0/0", "0/0", "---/-", "0/0", "0/0"});
    const Loaded loaded = load(repeated(mixed, 16));
    EXPECT_EQ(loaded.err, "");
    EXPECT_TRUE(boardIsEmpty());
    EXPECT_EQ(piecesOutOfPlay(), 0);
    EXPECT_EQ(puzzleRun.edits.pairUndo.count + puzzleRun.edits.topUndo.count +
                  puzzleRun.edits.leftUndo.count,
              0);
}

TEST_F(BoardLoading, CellsSeparatedByTabsAndCarriageReturnsRead) {
    std::string text;
    for (int row = 15; row >= 0; --row) {
        const auto cells = rowCells(row);
        for (int c = 0; c < 16; ++c)
            text += cells[c] + (c % 2 ? "\t" : "  ");
        text += "\r\n";
    }
    const Loaded loaded = load(text);
    EXPECT_EQ(loaded.err, "");
    for (int s = 0; s < 256; ++s)
        EXPECT_EQ(search.board[s], planted(s)) << "slot " << s;
}

TEST_F(BoardLoading, PieceOnTheHintSlotIsStoredAndOutOfPlay) {
    const int from = slotOfKind(0);
    const Loaded loaded = load(boardWith({{hintSlot, cellOf(from)}}));
    EXPECT_EQ(loaded.err, "");
    EXPECT_EQ(search.board[hintSlot], planted(from));
    EXPECT_EQ(search.pieceFree[plantedPuzzle.slotPiece[from]], 0);
    EXPECT_EQ(piecesOutOfPlay(), 1);
}

TEST_F(BoardLoading, LoadClearsTheRunStateFirst) {
    search.board.fill(planted(3));
    search.pieceFree.fill(0);
    search.depthVisits.fill(5);
    const Loaded loaded = load(repeated(emptyLine, 16));
    EXPECT_EQ(loaded.err, "");
    EXPECT_TRUE(boardIsEmpty());
    EXPECT_EQ(piecesOutOfPlay(), 0);
    EXPECT_EQ(search.depthVisits[0], -1);
}

TEST_F(BoardLoading, FirstListMembersAndOtherwiseSecondListMembersAreCounted) {
    const int a = 16 * 15, b = a + 1, c = a + 2, d = a + 3;
    search.groupFlags.inFirstList[plantedPuzzle.slotPiece[a]] = 1;
    search.groupFlags.inSecondList[plantedPuzzle.slotPiece[b]] = 1;
    search.groupFlags.inFirstList[plantedPuzzle.slotPiece[c]] = 1;
    search.groupFlags.inSecondList[plantedPuzzle.slotPiece[c]] = 1;
    search.firstListPlaced = 1;
    search.secondListPlaced = 2;
    load(boardWith({{a, cellOf(a)}, {b, cellOf(b)}, {c, cellOf(c)}, {d, cellOf(d)}}));
    // The load starts the counts afresh; a piece in both lists counts as a first-list piece.
    EXPECT_EQ(search.firstListPlaced, 2);
    EXPECT_EQ(search.secondListPlaced, 1);
}

TEST_F(BoardLoading, MissingFileIsReportedAndLeavesTheBoardAsItWas) {
    for (int s = 0; s < 256; ++s)
        search.board[s] = planted(s);
    search.pieceFree.fill(1);
    search.pieceFree[9] = 0;
    search.firstListPlaced = 3;
    const auto boardBefore = search.board;
    const auto freeBefore = search.pieceFree;
    const std::string missing = dir.file("no-such-board.txt");
    const Loaded loaded = loadPath(missing);
    EXPECT_EQ(loaded.out, "");
    EXPECT_EQ(loaded.err, "Cannot open " + missing + "\n");
    EXPECT_EQ(search.board, boardBefore);
    EXPECT_EQ(search.pieceFree, freeBefore);
    EXPECT_EQ(search.firstListPlaced, 3);
    EXPECT_EQ(puzzleRun.edits.pairUndo.count + puzzleRun.edits.topUndo.count +
                  puzzleRun.edits.leftUndo.count,
              0);
    EXPECT_EQ(snapshotTables(), before);
}

TEST_F(BoardLoading, DirectoryCannotBeOpenedAsABoardFile) {
    const Loaded loaded = loadPath(dir.path);
    EXPECT_EQ(loaded.out, "");
    EXPECT_EQ(loaded.err, "Cannot open " + dir.path + "\n");
}

// --- Candidate lists ---

TEST_F(BoardLoadingLists, RemovalsFollowTheKindOfTheSquare) {
    const int corner = slotOfKind(2), edge = slotOfKind(1), interior = slotOfKind(0);
    const Loaded loaded = load(
        boardWith({{corner, cellOf(corner)}, {edge, cellOf(edge)}, {interior, cellOf(interior)}}));
    EXPECT_EQ(loaded.err, "");
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, 8);
    EXPECT_EQ(puzzleRun.edits.topUndo.count, 4);
    EXPECT_EQ(puzzleRun.edits.leftUndo.count, 4);
    for (int r = 0; r < 4; ++r) {
        const RotationEntry& e = puzzle.rotationTable[4 * plantedPuzzle.slotPiece[edge] + r];
        EXPECT_FALSE(candidateListHolds(puzzle.edgeByLeftTop[e.pairIndex], e.code));
        const RotationEntry& i = puzzle.rotationTable[4 * plantedPuzzle.slotPiece[interior] + r];
        EXPECT_FALSE(candidateListHolds(puzzle.interiorByLeftTop[i.pairIndex], i.code));
        EXPECT_FALSE(candidateListHolds(puzzle.interiorByTop[topOf(i.code)], i.code));
        EXPECT_FALSE(candidateListHolds(puzzle.interiorByLeft[leftOf(i.code)], i.code));
        const RotationEntry& k = puzzle.rotationTable[4 * plantedPuzzle.slotPiece[corner] + r];
        EXPECT_TRUE(candidateListHolds(puzzle.cornerByLeftTop[k.pairIndex], k.code));
    }
}

TEST_F(BoardLoadingLists, FirstRestoreAllGivesEveryListBackBitForBit) {
    load(solutionBoardText(plantedPuzzle));
    EXPECT_EQ(puzzleRun.edits.pairUndo.count, 4 * 252);
    EXPECT_EQ(puzzleRun.edits.topUndo.count, 4 * 196);
    EXPECT_EQ(puzzleRun.edits.leftUndo.count, 4 * 196);
    EXPECT_NE(snapshotTables(), before);
    restoreAll();
    EXPECT_EQ(snapshotTables(), before);
    EXPECT_EQ(puzzleRun.edits.pairUndo.count + puzzleRun.edits.topUndo.count +
                  puzzleRun.edits.leftUndo.count,
              0);
}

TEST_F(BoardLoadingLists, PieceOnASquareOfAnotherKindIsNotFoundInThatTable) {
    const int corner = slotOfKind(2), interior = slotOfKind(0);
    const Loaded loaded = load(boardWith({{interior, cellOf(corner)}}));
    std::string expected;
    for (int r = 0; r < 4; ++r)
        expected += notFound(puzzle.rotationTable[4 * plantedPuzzle.slotPiece[corner] + r].code);
    EXPECT_EQ(loaded.err, expected + expected + expected);
    EXPECT_EQ(search.board[interior], planted(corner));
    EXPECT_EQ(search.pieceFree[plantedPuzzle.slotPiece[corner]], 0);
    restoreAll();
    EXPECT_EQ(snapshotTables(), before);
}

// --- Malformed files ---

TEST_F(BoardLoadingMalformed, ShortLineIsReportedOnceAndTheRestOfItsRowIsEmpty) {
    std::vector<std::string> cells = rowCells(15);
    cells.resize(10);
    const Loaded loaded = load(joinedLines(cells) + repeated(emptyLine, 15));
    EXPECT_EQ(loaded.err, shortLine(1, 10));
    for (int s = 240; s < 256; ++s)
        EXPECT_EQ(search.board[s], s < 250 ? planted(s) : emptyCode) << "slot " << s;
    EXPECT_EQ(piecesOutOfPlay(), 10);
}

TEST_F(BoardLoadingMalformed, EachBadCellIsReportedOnceWithItsLineAndCellAndLeftEmpty) {
    const std::vector<std::string> bad{"-5/1",  "99999999999999/1",
                                       "5/",    "/2",
                                       "5/4",   "5/1x",
                                       "257/0", "0/3",
                                       "+5/1",  "5x/1",
                                       "---/",  "5//1",
                                       "0x1F/2"};
    std::vector<std::string> cells = bad;
    for (int c = 13; c < 16; ++c)
        cells.push_back(cellOf(240 + c));
    const Loaded loaded = load("# hand-made\n" + joinedLines(cells) + repeated(emptyLine, 15));
    std::string expected;
    for (std::size_t c = 0; c < bad.size(); ++c)
        expected += badCell(2, static_cast<int>(c) + 1, bad[c]);
    EXPECT_EQ(loaded.err, expected);
    for (int s = 240; s < 256; ++s)
        EXPECT_EQ(search.board[s], s < 253 ? emptyCode : planted(s)) << "slot " << s;
    EXPECT_EQ(piecesOutOfPlay(), 3);
}

TEST_F(BoardLoadingMalformed, LongAndUnprintableCellsAreShownShortAndPlain) {
    const std::string longCell = repeated("ab/", 10);
    const std::string unprintable = std::string("7/\x01\x1b[2J") + '\0' + "\xff";
    const Loaded loaded = load(joinedLines({longCell, unprintable}) + repeated(emptyLine, 15));
    EXPECT_EQ(loaded.err, badCell(1, 1, longCell.substr(0, 20) + "...") +
                              badCell(1, 2, "7/??[2J??") + shortLine(1, 2));
}

TEST_F(BoardLoadingMalformed, TheSameFaultsAgainAreNotPrintedAgain) {
    // Every run loads the file anew; a farm keeps the output for months.
    const std::string text = "1/9\n";
    const std::string first = load(text).err;
    EXPECT_NE(first.find("is not a piece"), std::string::npos) << first;
    EXPECT_EQ(load(text).err, "");
    EXPECT_NE(load("2/9\n").err.find("\"2/9\" is not a piece"), std::string::npos);
}

TEST_F(BoardLoadingMalformed, FileEndingEarlyIsReportedAndTheOtherRowsStayEmpty) {
    std::string text;
    for (int i = 0; i < 5; ++i)
        text += solution[i];
    const Loaded loaded = load(text + "# the end\n");
    EXPECT_EQ(loaded.err, endsAfter(5));
    for (int s = 0; s < 256; ++s)
        EXPECT_EQ(search.board[s], s >= 176 ? planted(s) : emptyCode) << "slot " << s;
    EXPECT_EQ(piecesOutOfPlay(), 80);
}

TEST_F(BoardLoadingMalformed, EmptyFileHasNoBoardLine) {
    const Loaded loaded = load("");
    EXPECT_EQ(loaded.out, "load board " + boardFile() + "\n");
    EXPECT_EQ(loaded.err, endsAfter(0));
    EXPECT_TRUE(boardIsEmpty());
}

TEST_F(BoardLoadingMalformed, RecordBoardFileHasNoBoardLineAndLeavesTheBoardEmpty) {
    const RandomState savedRandom = program.mainRandom;
    seedRandom(program.mainRandom, 99u);
    std::array<PieceCode, 256> full{};
    for (int s = 0; s < 256; ++s)
        full[s] = planted(s);
    const std::string record = recordBoardText(full);
    program.mainRandom = savedRandom;
    const Loaded loaded = load(record);
    EXPECT_EQ(loaded.err, endsAfter(0));
    EXPECT_TRUE(boardIsEmpty());
    EXPECT_EQ(piecesOutOfPlay(), 0);
    EXPECT_EQ(snapshotTables(), before);
}

TEST_F(BoardLoadingMalformed, LineLongerThanTheBufferGoesOnAsABoardLineOfItsOwn) {
    // Row 15 and then row 14 on one line of the file, row 14 starting after 999 characters;
    // the continuation keeps the line number of its line.
    std::string first = joinedLines(rowCells(15));
    first.pop_back();
    first += std::string(999 - first.size(), ' ') + joinedLines(rowCells(14));
    std::string text = first;
    for (int row = 13; row > 0; --row)
        text += joinedLines(rowCells(row));
    std::vector<std::string> last = rowCells(0);
    last[15] = "bad/9";
    text += joinedLines(last);
    const Loaded loaded = load(text);
    EXPECT_EQ(loaded.err, badCell(15, 16, "bad/9"));
    for (int s = 0; s < 256; ++s)
        EXPECT_EQ(search.board[s], s == 15 ? emptyCode : planted(s)) << "slot " << s;
}

TEST_F(BoardLoadingMalformed, CellCutByTheBufferIsReadAsTwoCellsOfTwoBoardLines) {
    // "12" ends the first 999 characters; "3/1" begins the next piece of the same line.
    std::string first = "---/-";
    first += std::string(997 - first.size(), ' ') + "12" + "3/1\n";
    const Loaded loaded = load(first + repeated(emptyLine, 16));
    EXPECT_EQ(withoutNotFound(loaded.err), badCell(1, 2, "12") + shortLine(1, 2) + shortLine(1, 1));
    EXPECT_EQ(search.board[241], emptyCode);
    EXPECT_EQ(search.board[224], puzzle.rotationTable[4 * 2 + 1].code);
}

TEST_F(BoardLoadingMalformed, LineOfExactlyTheBufferSizeIsOneLine) {
    std::string first = joinedLines(rowCells(15));
    first.pop_back();
    first += std::string(999 - first.size(), ' ') + "\n";
    ASSERT_EQ(first.size(), 1000u);
    std::vector<std::string> second = rowCells(14);
    second[0] = "x/y";
    const Loaded loaded = load(first + joinedLines(second) + repeated(emptyLine, 14));
    EXPECT_EQ(loaded.err, badCell(2, 1, "x/y"));
    EXPECT_EQ(search.board[240], planted(240));
    EXPECT_EQ(search.board[225], planted(225));
}

TEST_F(BoardLoadingMalformed, PieceNamedTwiceIsTakenOnceAndItsSecondRemovalsAreNotFound) {
    // The first two interior slots of slot row 14, written on line 2: the second naming is
    // the later cell.
    int home = 224;
    while (squareKind[home] != 0)
        ++home;
    int other = home + 1;
    while (squareKind[other] != 0)
        ++other;
    ASSERT_LT(other, 240);
    const int piece = plantedPuzzle.slotPiece[home];
    search.groupFlags.inFirstList[piece] = 1;
    const Loaded loaded = load(boardWith({{home, cellOf(home)}, {other, cellOf(home)}}));
    std::string expected = namedAgain(2, other % 16 + 1, piece);
    for (int table = 0; table < 3; ++table)
        for (int r = 0; r < 4; ++r)
            expected += notFound(puzzle.rotationTable[4 * piece + r].code);
    EXPECT_EQ(loaded.err, expected);
    EXPECT_EQ(search.board[home], planted(home));
    EXPECT_EQ(search.board[other], planted(home));
    EXPECT_EQ(search.pieceFree[piece], 0);
    EXPECT_EQ(piecesOutOfPlay(), 1);
    EXPECT_EQ(search.firstListPlaced, 1);
    restoreAll();
    EXPECT_EQ(snapshotTables(), before);
}

TEST_F(BoardLoadingMalformed, OnePieceOnEverySlotStaysWithinTheUndoStacks) {
    const int interior = slotOfKind(0);
    const Loaded loaded =
        load(repeated(joinedLines(std::vector<std::string>(16, cellOf(interior))), 16));
    // 255 repeats: the first 30 are shown, each with its removals not found, then the number
    // of the others.
    EXPECT_EQ(count(loaded.err, "is named again\n"), 30);
    EXPECT_EQ(linesOf(loaded.err).back(),
              "Board file " + boardFile() + ": 225 more faults, not shown");
    EXPECT_EQ(piecesOutOfPlay(), 1);
    for (int s = 0; s < 256; ++s)
        EXPECT_EQ(search.board[s], planted(interior));
    EXPECT_LE(puzzleRun.edits.pairUndo.count, undoStackSize);
    EXPECT_LE(puzzleRun.edits.topUndo.count, undoStackSize);
    EXPECT_LE(puzzleRun.edits.leftUndo.count, undoStackSize);
    restoreAll();
    EXPECT_EQ(snapshotTables(), before);
}

TEST_F(BoardLoadingMalformed, BinaryGarbageEndsWithinSixteenBoardLinesAndListsComeBack) {
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int variant = 0; variant < 4; ++variant) {
        std::string text;
        for (int i = 0; i < 60000; ++i) {
            char c = static_cast<char>(byte(random));
            if (variant == 1 && c == '\n') c = 'x';   // one endless line
            if (variant == 2 && i % 7 == 0) c = '/';  // slashes everywhere
            if (variant == 3) c = i % 3 == 0 ? '\0' : c;
            text += c;
        }
        const Loaded loaded = load(text);
        EXPECT_EQ(loaded.out, "load board " + boardFile() + "\n");
        std::set<std::string> lines;
        for (const std::string& message : linesOf(loaded.err)) {
            const bool known = message.rfind("Board file ", 0) == 0 ||
                               message.rfind("removeFromList: Piece not found ", 0) == 0;
            EXPECT_TRUE(known) << message;
            const std::size_t at = message.find(", line ");
            if (at != std::string::npos)
                lines.insert(message.substr(at, message.find_first_of(",:", at + 7) - at));
        }
        EXPECT_LE(lines.size(), 16u) << "variant " << variant;
        EXPECT_EQ(loaded.err.find(" ends after "), std::string::npos) << "variant " << variant;
        restoreAll();
        EXPECT_EQ(snapshotTables(), before) << "variant " << variant;
    }
}

// --- In a run ---

namespace {

// Runs one whole run with settings.boardPath naming `text`, with a seeded main generator and no
// files written; returns what it printed.
Loaded runWithBoard(const std::string& path, const std::string& text) {
    writeFile(path, text);
    std::snprintf(program.settings.boardPath, sizeof program.settings.boardPath, "%s",
                  path.c_str());
    const RandomState savedRandom = program.mainRandom;
    seedRandom(program.mainRandom, 5150u);
    program.settings.writeFiles = false;
    Loaded printed;
    {
        ConsoleCapture capture;
        performRun();
        printed = {capture.out(), capture.err()};
    }
    program.mainRandom = savedRandom;
    return printed;
}

}  // namespace

TEST_F(BoardLoadingRun, HintPieceWinsSlotEightAndTheNamedPieceStaysOutOfPlay) {
    // Every piece is named, another one on the hint slot, so the search finds nothing free.
    const int from = slotOfKind(0);
    std::string text;
    for (int row = 15; row >= 0; --row) {
        std::vector<std::string> cells = rowCells(row);
        for (int c = 0; c < 16; ++c) {
            if (16 * row + c == hintSlot) cells[c] = cellOf(from);
            if (16 * row + c == from) cells[c] = "---/-";
        }
        text += joinedLines(cells);
    }
    const Loaded printed = runWithBoard(boardFile(), text);
    const std::string expected = "loading " + boardFile() + "\nload board " + boardFile() + "\n";
    EXPECT_EQ(printed.out.substr(0, expected.size()), expected);
    EXPECT_EQ(printed.err, "");
    EXPECT_EQ(search.board[hintSlot], rotate(2, puzzle.pieceCodes[hintPiece]));
    EXPECT_EQ(search.pieceFree[plantedPuzzle.slotPiece[from]], 0);
    EXPECT_EQ(search.pieceFree[hintPiece], 0);
}

TEST_F(BoardLoadingRun, RunWhoseSearchFindsNothingLeavesEveryListWhole) {
    const Loaded printed = runWithBoard(boardFile(), solutionBoardText(plantedPuzzle));
    EXPECT_EQ(printed.err, "");
    // The next run finds every piece in its lists again.
    resetRun();
    const Loaded again = loadPath(boardFile());
    EXPECT_EQ(again.err, "");
}
