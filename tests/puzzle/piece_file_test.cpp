// The piece file reader: accepted files in-process, every fault through the built program,
// since a fault ends the process.
#include "puzzle/piece_file.h"

#include <gtest/gtest.h>

#include <string>

#include "puzzle/puzzle_tables.h"
#include "tests/test_support.h"

namespace {

std::string replaceLine(std::string text, int lineNumber, const std::string& line) {
    std::size_t start = 0;
    for (int i = 1; i < lineNumber; ++i)
        start = text.find('\n', start) + 1;
    const std::size_t end = text.find('\n', start);
    return text.replace(start, end - start, line);
}

void readText(const TempDir& dir, const std::string& text) {
    writeFile(dir.file("k7pieces.txt"), text);
    readPieceFile(dir.file("k7pieces.txt").c_str());
}

}  // namespace

TEST(PieceFile, AcceptsExactly256LinesWithOrWithoutAFinalLineEnd) {
    TempDir dir;
    readText(dir, simplePieceFileText());
    EXPECT_EQ(puzzle.borderCount[0], 2);
    EXPECT_EQ(puzzle.borderCount[59], 1);
    EXPECT_EQ(puzzle.borderCount[60], 0);
    std::string unterminated = simplePieceFileText();
    unterminated.pop_back();
    unterminated = replaceLine(unterminated, 256, "1 2 3 4");
    readText(dir, unterminated);
    EXPECT_EQ(topOf(puzzle.pieceCodes[255]), colourMap[4]);
}

TEST(PieceFile, IgnoresEverythingAfterThe256thLine) {
    TempDir dir;
    readText(dir, simplePieceFileText() + "garbage\n99 99\n\n,,,\n");
    EXPECT_EQ(pieceNumberOf(puzzle.pieceCodes[255]), 255);
}

TEST(PieceFile, TranslatesColoursAndCountsBorderEdgesAsWritten) {
    TempDir dir;
    std::string text = replaceLine(simplePieceFileText(), 1, "1 2 3 4");
    text = replaceLine(text, 2, "  3\t7 0 12 a comment after the numbers");
    text = replaceLine(text, 3, "0 0 0 0");
    readText(dir, text);
    EXPECT_EQ(rightOf(puzzle.pieceCodes[0]), 21);
    EXPECT_EQ(bottomOf(puzzle.pieceCodes[0]), 0);
    EXPECT_EQ(leftOf(puzzle.pieceCodes[0]), 9);
    EXPECT_EQ(topOf(puzzle.pieceCodes[0]), 14);
    EXPECT_EQ(puzzle.borderCount[0], 0);
    EXPECT_EQ(puzzle.borderCount[1], 1);
    EXPECT_EQ(leftOf(puzzle.pieceCodes[1]), borderColour);
    EXPECT_EQ(puzzle.borderCount[2], 4);
    EXPECT_EQ(rotationOf(puzzle.pieceCodes[2]), 0);
    EXPECT_FALSE(isLastInList(puzzle.pieceCodes[2]));
    EXPECT_EQ(pieceNumberOf(puzzle.pieceCodes[2]), 2);
}

struct PieceFileFault {
    const char* name;
    std::string text;
    std::string firstLine;  // %s stands for the path
    std::string secondLine;
};

void PrintTo(const PieceFileFault& fault, std::ostream* os) {
    *os << fault.name;
}

class PieceFileFaults : public testing::TestWithParam<PieceFileFault> {};

TEST_P(PieceFileFaults, PrintTwoLinesAndEndThroughFatalExit) {
    const PieceFileFault& fault = GetParam();
    TempDir dir;
    if (!fault.text.empty()) writeFile(dir.file("k7pieces.txt"), fault.text);
    const ProgramResult result = runProgram(TESSALY_BIN, dir.path, "\n");
    std::string first = fault.firstLine;
    first.replace(first.find("%s"), 2, dir.file("k7pieces.txt"));
    EXPECT_EQ(result.err, first + fault.secondLine);
    EXPECT_EQ(result.out, "Press enter to exit\n");
    EXPECT_EQ(result.status, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PieceFileFaults,
    testing::Values(
        PieceFileFault{"Missing", "", "Cannot open piece file %s\n",
                       "Please read the instructions how to create this file\n"},
        PieceFileFault{"Only255Lines", simplePieceFileText(255),
                       "Unexpected end of file in piece file %s\n",
                       "Piece file must have 256 pieces\n"},
        PieceFileFault{"EmptyLine", replaceLine(simplePieceFileText(), 17, ""),
                       "Incorrect piece at line 17 of piece file %s\n",
                       "One of the numbers on this line is incorrect or missing\n"},
        PieceFileFault{"Commas", replaceLine(simplePieceFileText(), 5, "1,2,3,4"),
                       "Incorrect piece at line 5 of piece file %s\n",
                       "One of the numbers on this line is incorrect or missing\n"},
        PieceFileFault{"ColourAbove22", replaceLine(simplePieceFileText(), 200, "5 23 4 1"),
                       "Error on line 200 of %s: colour number 23 is incorrect\n",
                       "Only colours 0 (which must be border) - 22 are supported\n"},
        PieceFileFault{"NegativeColour", replaceLine(simplePieceFileText(), 3, "-1 0 0 0"),
                       "Error on line 3 of %s: colour number -1 is incorrect\n",
                       "Only colours 0 (which must be border) - 22 are supported\n"},
        // Too large for an int: reported as written, never wrapped round to a colour.
        PieceFileFault{"NumberPastTheIntRange",
                       replaceLine(simplePieceFileText(), 12, "4294967297 0 3 4"),
                       "Error on line 12 of %s: colour number 4294967297 is incorrect\n",
                       "Only colours 0 (which must be border) - 22 are supported\n"},
        PieceFileFault{"OnlyTheFirstBadColourIsReported",
                       replaceLine(simplePieceFileText(), 9, "1 99 -4 2"),
                       "Error on line 9 of %s: colour number 99 is incorrect\n",
                       "Only colours 0 (which must be border) - 22 are supported\n"},
        // 60 characters: the first 49 make a piece, the rest is read as line 8.
        PieceFileFault{
            "LongLineContinuesAsTheNextLine",
            replaceLine(simplePieceFileText(), 7, "1 2 3 4" + std::string(46, ' ') + "x 5 6 7"),
            "Incorrect piece at line 8 of piece file %s\n",
            "One of the numbers on this line is incorrect or missing\n"}),
    [](const testing::TestParamInfo<PieceFileFault>& info) {
        return std::string(info.param.name);
    });

TEST(FatalExit, DoesNotWaitAtTheEndOfStandardInput) {
    TempDir dir;
    const ProgramResult result = runProgram(TESSALY_BIN, dir.path, "", 10);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Press enter to exit\n");
}
