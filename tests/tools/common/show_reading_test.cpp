// tessaly-show reading boards: record boards written by the solver's own writer, board files
// by the solver's rules, and the round trip record board -> board file -> board file.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "base/program_state.h"
#include "base/random.h"
#include "results/board_files.h"
#include "results/grid_writing.h"
#include "search/board_geometry.h"
#include "tests/test_support.h"
#include "tests/tools/common/show_test_boards.h"
#include "tools/common/board_check.h"
#include "tools/common/board_reading.h"
#include "tools/common/svg_drawing.h"
#include "tools/gen/puzzle_generator.h"

namespace {

// The main generator seeded for record boards, put back afterwards.
class ShowReading : public testing::Test {
protected:
    void SetUp() override {
        savedRandom = program.mainRandom;
        seedRandom(program.mainRandom, 2024u);
    }
    void TearDown() override { program.mainRandom = savedRandom; }

    static std::array<PieceCode, 256> withoutListFlags(std::array<PieceCode, 256> slots) {
        for (PieceCode& code : slots)
            if (code != emptyCode) code &= ~lastInListBit;
        return slots;
    }

    GeneratedPuzzle puzzle{41};

private:
    RandomState savedRandom;
};

// The solver's board keeps the lastInList bit a code had in its list; set it on some slots.
std::array<PieceCode, 256> flagSome(std::array<PieceCode, 256> slots) {
    for (int s = 0; s < 256; s += 7)
        if (slots[s] != emptyCode) slots[s] |= lastInListBit;
    return slots;
}

// Where the k-th hexadecimal word of a record board text begins.
std::size_t wordOffset(const std::string& text, int k) {
    std::size_t at = text.find('\n') + 1;
    for (int digits = 0; digits < 8 * k; ++at)
        if (text[at] != '\n') ++digits;
    while (text[at] == '\n')
        ++at;
    return at;
}

}  // namespace

TEST_F(ShowReading, RecordBoardRoundTripsThroughABoardFileAndBack) {
    Layout layout = puzzle.solution();
    swapSquares(layout, 3, 4, 9, 10);
    for (const Layout& shown : {puzzle.solution(), layout}) {
        const std::array<PieceCode, 256> slots = flagSome(puzzle.codes(shown));
        const Reading<ReadBoard> record = readBoardText(recordBoardText(slots), puzzle.pieces);
        ASSERT_TRUE(record.value) << record.problem;
        EXPECT_EQ(record.value->format, BoardFormat::record);
        EXPECT_EQ(record.value->slots, slots);

        const std::string grid = gridText(record.value->slots, "first");
        const Reading<ReadBoard> fromGrid = readBoardText(grid, puzzle.pieces);
        ASSERT_TRUE(fromGrid.value) << fromGrid.problem;
        EXPECT_EQ(fromGrid.value->format, BoardFormat::grid);
        EXPECT_EQ(fromGrid.value->slots, withoutListFlags(slots));

        const std::string again = gridText(fromGrid.value->slots, "first");
        EXPECT_EQ(again, grid);
        const Reading<ReadBoard> fromAgain = readBoardText(again, puzzle.pieces);
        ASSERT_TRUE(fromAgain.value) << fromAgain.problem;
        EXPECT_EQ(fromAgain.value->slots, fromGrid.value->slots);
    }
}

TEST_F(ShowReading, PartlyFilledBoardsKeepTheirEmptySquaresThroughEveryFormat) {
    Layout layout = puzzle.solution();
    for (int s = 0; s < 256; s += 3)
        layout.piece[s] = -1;
    const std::array<PieceCode, 256> slots = puzzle.codes(layout);
    const Reading<ReadBoard> record = readBoardText(recordBoardText(slots), puzzle.pieces);
    ASSERT_TRUE(record.value) << record.problem;
    EXPECT_EQ(record.value->slots, slots);
    const std::string grid = gridText(slots, "partial");
    const Reading<ReadBoard> fromGrid = readBoardText(grid, puzzle.pieces);
    ASSERT_TRUE(fromGrid.value) << fromGrid.problem;
    EXPECT_EQ(fromGrid.value->slots, slots);
    EXPECT_NE(grid.find("---/-"), std::string::npos);
}

TEST_F(ShowReading, GridCommentsHoldNoSlashSoTheyStayComments) {
    const std::string grid = gridText(puzzle.codes(puzzle.solution()), "from a/b/c.tsr\nnext");
    const auto lines = linesOf(grid);
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0].find('/'), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].find('/'), std::string::npos) << lines[1];
    EXPECT_EQ(lines[0].rfind("# ", 0), 0u);
}

TEST_F(ShowReading, BoardFileOfTheGeneratorReadsAsThePlantedBoard) {
    const Reading<ReadBoard> read = readBoardText(solutionBoardText(puzzle.puzzle), puzzle.pieces);
    ASSERT_TRUE(read.value) << read.problem;
    EXPECT_EQ(read.value->slots, puzzle.codes(puzzle.solution()));
}

TEST_F(ShowReading, BoardFileIsReadByTheSolversRules) {
    // Comment lines and blank lines are passed over, cells past the sixteenth and lines past
    // the sixteenth board line are not read, "0/0" and "---/-" are empty, and a cell may be
    // written "%3d/%d" with blanks and tabs between cells.
    const auto solved = linesOf(solutionBoardText(puzzle.puzzle));
    std::string text = "# a comment\n\nheader without a slash\n";
    for (std::size_t i = 1; i < solved.size(); ++i) {
        std::string line = solved[i];
        if (i == 1) line = std::string("0/0\t---/-") + line.substr(11);
        if (i == 2) line += " 999/9 junk";
        text += line + "\r\n";
    }
    text += "7/7 not read\n";
    const Reading<ReadBoard> read = readBoardText(text, puzzle.pieces);
    ASSERT_TRUE(read.value) << read.problem;
    std::array<PieceCode, 256> expected = puzzle.codes(puzzle.solution());
    expected[240] = emptyCode;
    expected[241] = emptyCode;
    EXPECT_EQ(read.value->slots, expected);
}

TEST_F(ShowReading, RecordBoardWithWindowsLineEndsReadsAlike) {
    const std::array<PieceCode, 256> slots = puzzle.codes(puzzle.solution());
    std::string text;
    for (const char c : recordBoardText(slots))
        text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const Reading<ReadBoard> read = readBoardText(text, puzzle.pieces);
    ASSERT_TRUE(read.value) << read.problem;
    EXPECT_EQ(read.value->slots, slots);
}

TEST_F(ShowReading, DamagedRecordBoardsAreRefusedWithTheirProblem) {
    const std::string text = recordBoardText(puzzle.codes(puzzle.solution()));
    const auto problemOf = [&](const std::string& damaged) {
        const Reading<ReadBoard> read = readBoardText(damaged, puzzle.pieces);
        EXPECT_FALSE(read.value);
        return read.problem;
    };
    EXPECT_NE(problemOf(text.substr(0, 900)).find("cut short"), std::string::npos);
    EXPECT_NE(problemOf(text.substr(0, text.size() - 2) + "\n").find("cut short"),
              std::string::npos);
    EXPECT_NE(problemOf(text + "0000abcd\n").find("too long"), std::string::npos);
    std::string notHex = text;
    notHex[text.find('\n') + 1 + 160 + 1 + 4] = 'g';  // line 3, column 5
    EXPECT_NE(problemOf(notHex).find("line 3, column 5: 'g' is not a hexadecimal digit"),
              std::string::npos);
    std::string version = text;
    version[5] = '2';
    EXPECT_NE(problemOf(version).find("version line"), std::string::npos);
}

TEST_F(ShowReading, ChainThatDecodesToNoPieceCodesIsDamaged) {
    // Chain word Ci is the running xor up to slot i, so turning its top bit turns the top bit
    // of the words of slots i and i + 1, which no piece code has.
    const std::string text = recordBoardText(puzzle.codes(puzzle.solution()));
    const int slot = 50;
    std::string damaged = text;
    const std::size_t digit = wordOffset(text, 6 + slot);
    const int value = std::stoi(text.substr(digit, 1), nullptr, 16) ^ 8;
    damaged[digit] = "0123456789abcdef"[value];
    const Reading<ReadBoard> read = readBoardText(damaged, puzzle.pieces);
    ASSERT_FALSE(read.value);
    EXPECT_NE(read.problem.find("damaged: 2 of its 256 slot words"), std::string::npos)
        << read.problem;
    EXPECT_NE(
        read.problem.find(std::string("slot 50, square (") + std::to_string(slotSquare[slot].row) +
                          ", " + std::to_string(slotSquare[slot].col) + ")"),
        std::string::npos)
        << read.problem;
}

TEST_F(ShowReading, MangledBoardsAreReadOrRefusedAndWhatIsReadRoundTrips) {
    // Bytes changed, cut out or repeated anywhere in both formats: every text is either read
    // or refused with a problem, and a board that is read checks, draws and round-trips.
    Layout layout = puzzle.solution();
    swapSquares(layout, 2, 2, 13, 13);
    const std::array<PieceCode, 256> slots = puzzle.codes(layout);
    const std::string originals[] = {recordBoardText(slots), gridText(slots, "mangled")};
    std::mt19937 random(31);
    int read = 0;
    int refused = 0;
    for (const std::string& original : originals)
        for (int round = 0; round < 300; ++round) {
            std::string text = original;
            const std::size_t at = random() % text.size();
            switch (random() % 4) {
                case 0:
                    text[at] = static_cast<char>(random() % 256);
                    break;
                case 1:
                    text.erase(at, random() % 40);
                    break;
                case 2:
                    text.insert(at, text.substr(at, random() % 40));
                    break;
                default:
                    text.resize(at);
                    break;
            }
            const Reading<ReadBoard> board = readBoardText(text, puzzle.pieces);
            if (!board.value) {
                EXPECT_FALSE(board.problem.empty());
                ++refused;
                continue;
            }
            ++read;
            const BoardCheck check = checkBoard(*board.value, puzzle.pieces, "x.tsr");
            EXPECT_FALSE(svgText("x", *board.value, check).empty());
            const Reading<ReadBoard> again =
                readBoardText(gridText(board.value->slots, "again"), puzzle.pieces);
            ASSERT_TRUE(again.value) << again.problem;
            for (int s = 0; s < 256; ++s) {
                const PieceCode code = board.value->slots[s];
                EXPECT_EQ(again.value->slots[s] == emptyCode, code == emptyCode);
                if (code == emptyCode) continue;
                EXPECT_EQ(pieceNumberOf(again.value->slots[s]), pieceNumberOf(code));
                EXPECT_EQ(rotationOf(again.value->slots[s]), rotationOf(code));
            }
        }
    EXPECT_GT(read, 0);
    EXPECT_GT(refused, 0);
}
