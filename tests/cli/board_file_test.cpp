// The built solver with a BoardFile as its argument: every run loads it, and no malformed
// file stops the search.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

// The status of a solver that was still searching when it was stopped.
constexpr int stoppedWhileSearching = 0;

int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

std::string repeatedText(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

const std::string emptyGridLine =
    "---/- ---/- ---/- ---/- ---/- ---/- ---/- ---/- ---/- ---/- ---/- ---/- ---/- ---/- ---/- "
    "---/-\n";

// A directory with the pieces of a generated puzzle, where the solver runs on a board file.
class BoardFileProgram : public testing::Test {
protected:
    using Done = OutputDone;

    void SetUp() override {
        puzzle = generatePuzzle({5, 17, 5});
        writeFile(dir.file("k7pieces.txt"), pieceFileText(puzzle));
    }
    // Runs the solver with `name` as its argument, after writing `text` to it, until `done`
    // holds for its output and error stream, then stops it. Also the seconds it ran.
    ProgramResult runWith(const std::string& name, const std::string& text, const Done& done) {
        writeFile(dir.file(name), text);
        return runWithout(name, done);
    }
    ProgramResult runWithout(const std::string& name, const Done& done) {
        const auto start = std::chrono::steady_clock::now();
        const ProgramResult result = runUntil({TESSALY_BIN, name}, dir.path, done);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return result;
    }
    // Done once the output holds `loads` loads of the file `name`.
    static Done loaded(const std::string& name, int loads = 1) {
        return [=](const std::string& out, const std::string&) {
            return occurrences(out, loading(name)) >= loads;
        };
    }
    // Done once the error stream holds `text`.
    static Done said(const std::string& text) {
        return [=](const std::string&, const std::string& err) {
            return err.find(text) != std::string::npos;
        };
    }
    static std::string loading(const std::string& name) {
        return "loading " + name + "\nload board " + name + "\n";
    }

    TempDir dir;
    PlantedPuzzle puzzle;
    double seconds = 0;
};

}  // namespace

TEST_F(BoardFileProgram, EveryRunLoadsTheBoardFileAndFullBoardsLeaveTheListsWhole) {
    // The whole planted solution leaves no piece free, so every run ends at once and the
    // next one loads the file again; a list left short would make it report missing pieces.
    const ProgramResult result =
        runWith("board.txt", solutionBoardText(puzzle), loaded("board.txt", 2));
    EXPECT_EQ(result.status, stoppedWhileSearching);
    EXPECT_GE(occurrences(result.out, loading("board.txt")), 2) << result.out.substr(0, 2000);
    EXPECT_EQ(result.err.find("Piece not found"), std::string::npos) << result.err.substr(0, 2000);
    EXPECT_EQ(result.err.find("Board file"), std::string::npos) << result.err.substr(0, 2000);
}

TEST_F(BoardFileProgram, RunsThatCanDoNothingFollowEachOtherAtMostOnceASecond) {
    // Four loads take three pauses of a second at least, however fast the machine is.
    runWith("board.txt", solutionBoardText(puzzle), loaded("board.txt", 4));
    EXPECT_GE(seconds, 2.9);
}

TEST_F(BoardFileProgram, PartialBoardIsLoadedAndTheSearchGoesOn) {
    const auto lines = linesOf(solutionBoardText(puzzle));
    std::string text;
    for (std::size_t i = 1; i < 5; ++i)
        text += lines[i] + "\n";
    const ProgramResult result =
        runWith("part.txt", text + repeatedText(emptyGridLine, 12), loaded("part.txt"));
    EXPECT_EQ(result.status, stoppedWhileSearching);
    const std::size_t banner = result.out.find("Best scores are stored in " + dir.path + "\n");
    ASSERT_NE(banner, std::string::npos) << result.out.substr(0, 2000);
    EXPECT_NE(result.out.find(loading("part.txt"), banner), std::string::npos)
        << result.out.substr(0, 2000);
    EXPECT_EQ(result.err.find("Board file"), std::string::npos) << result.err.substr(0, 2000);
}

TEST_F(BoardFileProgram, MissingBoardFileIsReportedAndTheSearchGoesOn) {
    const ProgramResult result = runWithout("missing.txt", said("Cannot open missing.txt\n"));
    EXPECT_EQ(result.status, stoppedWhileSearching);
    EXPECT_NE(result.out.find("loading missing.txt\n"), std::string::npos);
    EXPECT_EQ(result.out.find("load board"), std::string::npos);
    EXPECT_NE(result.err.find("Cannot open missing.txt\n"), std::string::npos) << result.err;
}

TEST_F(BoardFileProgram, BadCellsAndShortLinesAreReportedAndTheSearchGoesOn) {
    const std::string text = "-5/1 257/0 5/ 5/1x ---/- ---/-\n" + repeatedText(emptyGridLine, 15);
    const ProgramResult result = runWith("bad.txt", text, loaded("bad.txt"));
    EXPECT_EQ(result.status, stoppedWhileSearching);
    EXPECT_NE(result.out.find(loading("bad.txt")), std::string::npos);
    for (const char* message :
         {"Board file bad.txt, line 1, cell 1: \"-5/1\" is not a piece, taken as empty\n",
          "Board file bad.txt, line 1, cell 2: \"257/0\" is not a piece, taken as empty\n",
          "Board file bad.txt, line 1, cell 3: \"5/\" is not a piece, taken as empty\n",
          "Board file bad.txt, line 1, cell 4: \"5/1x\" is not a piece, taken as empty\n",
          "Board file bad.txt, line 1: only 6 cells, the rest of the row taken as empty\n"})
        EXPECT_NE(result.err.find(message), std::string::npos) << message << result.err;
}

TEST_F(BoardFileProgram, FileEndingEarlyIsReportedAndTheSearchGoesOn) {
    const ProgramResult result = runWith(
        "short.txt", "# three rows\n" + repeatedText(emptyGridLine, 3), loaded("short.txt"));
    EXPECT_EQ(result.status, stoppedWhileSearching);
    EXPECT_NE(result.out.find(loading("short.txt")), std::string::npos);
    EXPECT_NE(result.err.find(
                  "Board file short.txt ends after 3 board lines, the other rows taken as empty\n"),
              std::string::npos)
        << result.err;
}

TEST_F(BoardFileProgram, RecordBoardFileGivenAsBoardFileHasNoBoardLines) {
    std::string record = "K7 v1.0\n";
    for (int line = 0; line < 13; ++line)
        record += repeatedText("0123abcd", 20) + "\n";
    record += "0123abcd0123abcd0123abcd\n";
    const ProgramResult result = runWith("470.tsr", record, loaded("470.tsr"));
    EXPECT_EQ(result.status, stoppedWhileSearching);
    EXPECT_NE(result.out.find(loading("470.tsr")), std::string::npos);
    EXPECT_NE(
        result.err.find("Board file 470.tsr ends after 0 board lines, the other rows taken as "
                        "empty\n"),
        std::string::npos)
        << result.err;
}

TEST_F(BoardFileProgram, BinaryGarbageKeepsTheProgramSearching) {
    std::mt19937 random(77);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += static_cast<char>(byte(random));
    const ProgramResult result = runWith("garbage.bin", text, loaded("garbage.bin"));
    EXPECT_EQ(result.status, stoppedWhileSearching) << result.err.substr(0, 2000);
    EXPECT_NE(result.out.find(loading("garbage.bin")), std::string::npos);
    EXPECT_NE(result.err.find("Board file garbage.bin, line "), std::string::npos);
}

TEST_F(BoardFileProgram, PieceNamedTwiceIsReportedAndTheSearchGoesOn) {
    const auto lines = linesOf(solutionBoardText(puzzle));
    const ProgramResult result =
        runWith("twice.txt", lines[1] + "\n" + lines[1] + "\n", loaded("twice.txt"));
    EXPECT_EQ(result.status, stoppedWhileSearching);
    EXPECT_NE(result.out.find(loading("twice.txt")), std::string::npos);
    EXPECT_NE(result.err.find("Board file twice.txt, line 2, cell 1: piece "), std::string::npos)
        << result.err.substr(0, 2000);
    EXPECT_NE(result.err.find(" is named again\n"), std::string::npos);
    EXPECT_NE(result.err.find("removeFromList: Piece not found "), std::string::npos);
}
