// The built tessaly-show: its report and exit status, the board file it writes and the solver
// loads, the SVG picture parsed as XML, and one clear message with status 2 for bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/program_state.h"
#include "base/random.h"
#include "results/board_files.h"
#include "search/board_geometry.h"
#include "tests/test_support.h"
#include "tests/tools/common/show_test_boards.h"

namespace {

constexpr int validBoard = 0;
constexpr int ruleBroken = 1;
constexpr int unreadable = 1;  // a file that cannot be read or written
constexpr int usageStatus = 2;

// Counts in an SVG file, printed by Python's XML parser: whether the root is an svg element,
// the polygons of class "tri", the groups of class "mismatch", the rects of class "empty".
const std::string svgCounter = R"(import sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
ns = '{http://www.w3.org/2000/svg}'
def countOf(tag, kind):
    return sum(1 for e in root.iter(ns + tag) if e.get('class') == kind)
print(root.tag == ns + 'svg', countOf('polygon', 'tri'), countOf('g', 'mismatch'), countOf('rect', 'empty'))
)";

int countLinesStartingWith(const std::string& text, const std::string& start) {
    int n = 0;
    for (const std::string& line : linesOf(text))
        n += line.rfind(start, 0) == 0;
    return n;
}

std::vector<std::string> linesWithASlash(const std::string& text) {
    std::vector<std::string> lines;
    for (const std::string& line : linesOf(text))
        if (line.find('/') != std::string::npos) lines.push_back(line);
    return lines;
}

class ShowProgram : public testing::Test {
protected:
    void SetUp() override {
        savedRandom = program.mainRandom;
        seedRandom(program.mainRandom, 99u);
        writeFile(dir.file("svg_counts.py"), svgCounter);
    }
    void TearDown() override { program.mainRandom = savedRandom; }

    ProgramResult show(const std::string& arguments) {
        return runProgram(std::string(TESSALY_SHOW_BIN) + " " + arguments, dir.path);
    }
    // Writes the record board of `layout` as `name` in the puzzle's directory.
    void writeRecord(const std::string& name, const Layout& layout) {
        writeFile(dir.file(name), recordBoardText(puzzle.codes(layout)));
    }
    // The counts of svgCounter for an SVG file of the directory.
    std::string svgCounts(const std::string& name) {
        const ProgramResult result =
            runProgram(std::string("python3 svg_counts.py '") + name + "'", dir.path);
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out;
    }
    // Two interior swaps of the planted solution: a board with a few mismatches.
    Layout swappedSolution() const {
        Layout layout = puzzle.solution();
        swapSquares(layout, 3, 4, 9, 10);
        swapSquares(layout, 12, 2, 12, 3);
        return layout;
    }

    GeneratedPuzzle puzzle{123};
    const TempDir& dir = puzzle.dir;

private:
    RandomState savedRandom;
};

}  // namespace

TEST_F(ShowProgram, RecordBoardIsReportedAndWrittenAsABoardFileTheSolverLoads) {
    const Layout layout = swappedSolution();
    const int mismatched = static_cast<int>(puzzle.mismatches(layout).size());
    ASSERT_GT(mismatched, 0);
    const std::string score = std::to_string(480 - mismatched);
    writeRecord(score + ".tsr", layout);

    const ProgramResult record =
        show(std::string("--grid grid.txt k7pieces.txt ") + score + ".tsr");
    EXPECT_EQ(record.status, validBoard) << record.out << record.err;
    EXPECT_EQ(record.err, "");
    const std::string scoreLine = std::string("score ") + score + ": " +
                                  std::to_string(mismatched) +
                                  " of the 480 inner edges mismatched\n";
    EXPECT_NE(record.out.find(score + ".tsr: record board, 256 of 256 squares filled\n"),
              std::string::npos)
        << record.out;
    EXPECT_NE(record.out.find(scoreLine), std::string::npos) << record.out;
    EXPECT_EQ(countLinesStartingWith(record.out, "  ("), mismatched) << record.out;
    EXPECT_NE(record.out.find(std::string("the file name's score ") + score + " agrees\n"),
              std::string::npos);
    EXPECT_NE(record.out.find("valid board\n"), std::string::npos);

    // The board file reads back to the same board, and writing it again gives the same grid.
    const ProgramResult grid = show("--grid again.txt k7pieces.txt grid.txt");
    EXPECT_EQ(grid.status, validBoard) << grid.out << grid.err;
    EXPECT_NE(grid.out.find("grid.txt: board file, 256 of 256 squares filled\n"),
              std::string::npos);
    EXPECT_NE(grid.out.find(scoreLine), std::string::npos) << grid.out;
    const std::vector<std::string> written = linesWithASlash(readFile(dir.file("grid.txt")));
    EXPECT_EQ(written.size(), 16u);
    EXPECT_EQ(linesWithASlash(readFile(dir.file("again.txt"))), written);

    // The solver loads it at the start of every run without a complaint. The board is full,
    // so every run ends at once and the next one loads it again.
    const ProgramResult solver =
        runUntil({TESSALY_BIN, "grid.txt"}, dir.path, "load board grid.txt\n");
    EXPECT_NE(solver.out.find("load board grid.txt\n"), std::string::npos)
        << solver.out.substr(0, 2000);
    EXPECT_EQ(solver.err.find("Board file"), std::string::npos) << solver.err.substr(0, 2000);
    EXPECT_EQ(solver.err.find("Piece not found"), std::string::npos) << solver.err.substr(0, 2000);
}

TEST_F(ShowProgram, PartlyFilledBoardFileHasNoScore) {
    Layout layout = swappedSolution();
    for (int s = 0; s < 256; s += 5)
        if (s != hintSlot) layout.piece[s] = -1;
    int joined = 0;
    const std::size_t mismatched = puzzle.mismatches(layout, &joined).size();
    int filled = 0;
    for (int piece : layout.piece)
        filled += piece >= 0;
    std::ostringstream grid;
    for (int row = 15; row >= 0; --row) {
        for (int col = 0; col < 16; ++col) {
            const int s = 16 * row + col;
            grid << (layout.piece[s] < 0 ? std::string("---/-")
                                         : std::to_string(layout.piece[s] + 1) + "/" +
                                               std::to_string(layout.rotation[s]))
                 << ' ';
        }
        grid << '\n';
    }
    writeFile(dir.file("part.txt"), grid.str());

    const ProgramResult result = show("--svg part.svg k7pieces.txt part.txt");
    EXPECT_EQ(result.status, validBoard) << result.out << result.err;
    EXPECT_NE(result.out.find(std::string("part.txt: board file, ") + std::to_string(filled) +
                              " of 256 squares filled\nnot a full board, so no score: " +
                              std::to_string(mismatched) + " of the " + std::to_string(joined) +
                              " inner edges between filled squares mismatched\n"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(svgCounts("part.svg"), std::string("True ") + std::to_string(4 * filled) + " " +
                                         std::to_string(mismatched) + " " +
                                         std::to_string(256 - filled) + "\n");
}

TEST_F(ShowProgram, SvgIsWellFormedWithFourTrianglesASquareAndAMarkPerMismatch) {
    const Layout layout = swappedSolution();
    const std::size_t mismatched = puzzle.mismatches(layout).size();
    // A name with the characters XML reserves ends up in the picture's title.
    const std::string name = "r&d <1> \"x\".tsr";
    writeRecord(name, layout);
    const ProgramResult result = show(std::string("--svg board.svg k7pieces.txt '") + name + "'");
    EXPECT_EQ(result.status, validBoard) << result.out << result.err;
    EXPECT_EQ(svgCounts("board.svg"),
              std::string("True 1024 ") + std::to_string(mismatched) + " 0\n");

    writeRecord("480.tsr", puzzle.solution());
    EXPECT_EQ(show("--svg solved.svg k7pieces.txt 480.tsr").status, validBoard);
    EXPECT_EQ(svgCounts("solved.svg"), "True 1024 0 0\n");
}

TEST_F(ShowProgram, BrokenRulesGiveStatusOneAndTheFilesAreStillWritten) {
    struct Case {
        const char* what;
        std::string name;
        Layout layout;
        const char* rule;
    };
    Layout twice = puzzle.solution();
    twice.piece[slotOf(2, 5)] = twice.piece[slotOf(2, 6)];
    Layout hintAway = puzzle.solution();
    swapSquares(hintAway, 7, 7, 8, 8);
    const std::vector<Case> cases{
        {"a piece twice", "480.tsr", twice, "stands 2 times"},
        {"the hint piece away", "best.tsr", hintAway, "the hint piece 139 stands on (8, 8)"},
        {"a wrong score in the name", "470.tsr", puzzle.solution(),
         "the file name says score 470, but the board scores 480"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeRecord(c.name, c.layout);
        std::filesystem::remove(dir.file("out.txt"));
        const ProgramResult result = show(std::string("--grid out.txt k7pieces.txt ") + c.name);
        EXPECT_EQ(result.status, ruleBroken) << result.out << result.err;
        EXPECT_NE(result.out.find(std::string("rule broken: ")), std::string::npos) << result.out;
        EXPECT_NE(result.out.find(c.rule), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("invalid board: "), std::string::npos) << result.out;
        EXPECT_EQ(linesWithASlash(readFile(dir.file("out.txt"))).size(), 16u);
    }
}

TEST_F(ShowProgram, BadInputGivesOneMessageNamingTheFileAndStatusTwo) {
    const std::string record = recordBoardText(puzzle.codes(puzzle.solution()));
    const std::string grid = solutionBoardText(puzzle.puzzle);
    const std::string pieces = readFile(puzzle.pieceFile());
    std::string notHex = record;
    notHex[300] = 'z';
    // The top bit of chain word C240 turned: the words of slots 240 and 241 are no piece codes.
    std::string damaged = record;
    const std::size_t lastLine = record.rfind('\n', record.size() - 2) + 1;
    const std::size_t digit = lastLine - 161 + 8 * (240 - 234);
    damaged[digit] = "89abcdef01234567"[std::stoi(record.substr(digit, 1), nullptr, 16)];
    std::string badCell = grid;
    badCell.replace(badCell.find('\n') + 1, 3, "257");
    std::string shortLine = grid;
    shortLine.erase(shortLine.size() - 13, 12);
    std::string fewLines = grid;
    fewLines.erase(fewLines.rfind('\n', fewLines.size() - 2) + 1);
    std::string badColour = pieces;
    badColour.replace(0, badColour.find('\n'), "5 23 4 1");

    struct Case {
        const char* what;
        const char* role;  // "board" or "piece file"
        std::string path;  // the file named in the message
        std::optional<std::string> boardText;
        std::optional<std::string> pieceText;
        const char* problem;
    };
    const std::vector<Case> cases{
        {"neither format", "board", "notes.txt", std::string("hello world\n"), std::nullopt,
         "neither a record board"},
        {"an empty file", "board", "empty.txt", std::string(), std::nullopt,
         "neither a record board"},
        {"a truncated record board", "board", "468.tsr", record.substr(0, 1500), std::nullopt,
         "cut short"},
        {"a record board with a non-hex digit", "board", "468.tsr", notHex, std::nullopt,
         "is not a hexadecimal digit"},
        {"a record board decoding to invalid codes", "board", "468.tsr", damaged, std::nullopt,
         "damaged"},
        {"a record board of another version", "board", "468.tsr",
         std::string("K7 v2.0") + record.substr(7), std::nullopt, "version line"},
        {"a missing board file", "board", "missing.tsr", std::nullopt, std::nullopt,
         "does not exist"},
        {"a board file with a bad cell", "board", "bad.txt", badCell, std::nullopt, "\"257/"},
        {"a board file with a short line", "board", "bad.txt", shortLine, std::nullopt,
         "has only 14 cells"},
        {"a board file of 15 lines", "board", "bad.txt", fewLines, std::nullopt,
         "ends after 15 board lines"},
        {"a missing piece file", "piece file", "k7pieces.txt", grid, std::string(),
         "does not exist"},
        {"a piece file of 255 lines", "piece file", "k7pieces.txt", grid,
         pieces.substr(0, pieces.rfind('\n', pieces.size() - 2) + 1), "ends after 255 lines"},
        {"a piece file with a bad colour", "piece file", "k7pieces.txt", grid, badColour,
         "line 1: colour number 23"},
        {"a piece file with a bad line", "piece file", "k7pieces.txt", grid,
         std::string("1,2,3,4\n") + pieces.substr(pieces.find('\n') + 1), "line 1 does not begin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir run;
        if (c.pieceText) {
            if (!c.pieceText->empty()) writeFile(run.file("k7pieces.txt"), *c.pieceText);
        } else {
            writeFile(run.file("k7pieces.txt"), pieces);
        }
        const std::string board = c.role == std::string("board") ? c.path : "board.txt";
        if (c.boardText) writeFile(run.file(board), *c.boardText);
        const ProgramResult result = runProgram(
            std::string(TESSALY_SHOW_BIN) + " --grid out.txt --svg out.svg k7pieces.txt " + board,
            run.path);
        EXPECT_EQ(result.status, unreadable) << result.out << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(linesOf(result.err).size(), 1u) << result.err;
        EXPECT_EQ(result.err.rfind(std::string("tessaly-show: ") + c.role + " " + c.path + ": ", 0),
                  0u)
            << result.err;
        EXPECT_NE(result.err.find(c.problem), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(run.file("out.txt")));
        EXPECT_FALSE(std::filesystem::exists(run.file("out.svg")));
    }
}

TEST_F(ShowProgram, DirectoryInPlaceOfAFileIsUnreadable) {
    std::filesystem::create_directory(dir.file("folder"));
    writeRecord("480.tsr", puzzle.solution());
    const ProgramResult board = show("k7pieces.txt folder");
    EXPECT_EQ(board.status, unreadable);
    EXPECT_EQ(board.err, "tessaly-show: board folder: is a directory, not a regular file\n");
    const ProgramResult pieces = show("folder 480.tsr");
    EXPECT_EQ(pieces.status, unreadable);
    EXPECT_EQ(pieces.err, "tessaly-show: piece file folder: is a directory, not a regular file\n");
}

TEST_F(ShowProgram, WrongCommandLinesGiveTheUsageAndStatusTwo) {
    for (const std::string arguments :
         {"", "k7pieces.txt", "--grid", "--colour k7pieces.txt x", "k7pieces.txt a.tsr b.tsr"}) {
        SCOPED_TRACE(arguments);
        const ProgramResult result = show(arguments);
        EXPECT_EQ(result.status, usageStatus);
        EXPECT_NE(result.err.find("usage: tessaly-show"), std::string::npos) << result.err;
    }
}

TEST_F(ShowProgram, UnwritableOutputIsARunTimeFault) {
    writeRecord("480.tsr", puzzle.solution());
    const ProgramResult result = show("--svg no/such/dir/b.svg k7pieces.txt 480.tsr");
    EXPECT_EQ(result.status, unreadable);
    EXPECT_NE(result.err.find("cannot write no/such/dir/b.svg"), std::string::npos) << result.err;
}
