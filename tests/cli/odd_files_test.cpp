// What the built programs do with odd files: an output path that is no regular file or is one
// of their inputs, and an input that is a FIFO. Nothing waits, nothing but the output named is
// written, and what was there is left as it was or written in place.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "tests/test_support.h"

namespace {

// A generated puzzle, its planted solution as solution.txt and one solver directory runs/a.
struct PuzzleDirectory {
    TempDir dir;
    PuzzleDirectory() {
        const ProgramResult made = runProgram(std::string(TESSALY_GEN_BIN) +
                                                  " --seed 9 --colours 12 --rim-colours 4 "
                                                  "--solution solution.txt k7pieces.txt",
                                              dir.path);
        EXPECT_EQ(made.status, 0) << made.err;
        std::filesystem::create_directories(dir.file("runs/a"));
        writeFile(dir.file("runs/a/total.txt"), "K7 stats\nnodes=5000\nsecs=10\n19=1\n");
        // What a solver and a farm keep beside the statistics.
        writeFile(dir.file("runs/a/total.bak"), "K7 stats\nnodes=4000\nsecs=8\n");
        std::filesystem::create_directories(dir.file("farm"));
        writeFile(dir.file("farm/tessaly.lock"), "1\n");
        writeFile(dir.file("victim"), "precious\n");
    }
};

const std::string show = TESSALY_SHOW_BIN;
const std::string stats = TESSALY_STATS_BIN;
const std::string gen = TESSALY_GEN_BIN;
const std::string farm = TESSALY_FARM_BIN;

struct OddOutputCase {
    const char* name;
    // what is put at "out" first: "directory", "fifo", a link target, ""; "absent": the output
    // is not there before, nor after
    const char* planted;
    std::string command;
    const char* output;  // the output path the command names
    int status;
    std::string message;  // on the error stream, DIR standing for the directory; empty: written
};

void PrintTo(const OddOutputCase& c, std::ostream* os) {
    *os << c.name;
}

class OddOutputs : public testing::TestWithParam<OddOutputCase> {};

}  // namespace

TEST_P(OddOutputs, AreWrittenInPlaceOrRefused) {
    const OddOutputCase& c = GetParam();
    PuzzleDirectory puzzle;
    const TempDir& dir = puzzle.dir;
    const std::string out = dir.file("out");
    const std::string planted = c.planted;
    int made = 0;
    if (planted == "directory") made = mkdir(out.c_str(), 0755);
    if (planted == "fifo") made = mkfifo(out.c_str(), 0644);
    if (planted.find('/') != std::string::npos) made = symlink(c.planted, out.c_str());
    ASSERT_EQ(made, 0);
    const std::string pieces = readFile(dir.file("k7pieces.txt"));
    const std::string solution = readFile(dir.file("solution.txt"));
    struct stat before {};
    const bool absent = planted == "absent";
    ASSERT_EQ(lstat(dir.file(c.output).c_str(), &before), absent ? -1 : 0);

    const ProgramResult result = runProgram(c.command, dir.path, "", 20);
    EXPECT_EQ(result.status, c.status) << result.err;
    std::string message = c.message;
    if (message.find("DIR") != std::string::npos) message.replace(message.find("DIR"), 3, dir.path);
    if (message.empty()) {
        EXPECT_EQ(result.err, "");
    } else {
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    // The name holds what it held, and nothing it leads to, nor an input, was written over.
    struct stat after {};
    ASSERT_EQ(lstat(dir.file(c.output).c_str(), &after), absent ? -1 : 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ((after.st_mode & S_IFMT), (before.st_mode & S_IFMT));
    EXPECT_EQ(readFile(dir.file("victim")), "precious\n");
    EXPECT_EQ(readFile(dir.file("k7pieces.txt")), pieces);
    EXPECT_EQ(readFile(dir.file("solution.txt")), solution);
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone")));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, OddOutputs,
    testing::Values(
        OddOutputCase{"ShowSvgIntoADirectory", "directory",
                      show + " --svg out k7pieces.txt solution.txt", "out", 1,
                      "tessaly-show: cannot write out: it is a directory, not a regular file\n"},
        OddOutputCase{"ShowGridOverItsOwnBoard", "",
                      show + " --grid solution.txt k7pieces.txt solution.txt", "solution.txt", 1,
                      "tessaly-show: cannot write solution.txt: it is the input solution.txt\n"},
        OddOutputCase{"ShowSvgThroughALinkToAFile", "./victim",
                      show + " --svg out k7pieces.txt solution.txt", "out", 1,
                      "tessaly-show: cannot write out: it is a symbolic link to a regular file, "
                      "which is not written through\n"},
        OddOutputCase{"ShowSvgIntoAFifoThatNothingReads", "fifo",
                      show + " --svg out k7pieces.txt solution.txt", "out", 1,
                      "tessaly-show: cannot write out: it is a FIFO that no process reads\n"},
        OddOutputCase{"ShowSvgIntoTheNullDeviceThroughALink", "/dev/null",
                      show + " --svg out k7pieces.txt solution.txt", "out", 0, ""},
        OddOutputCase{"StatsPageOverAStatisticsFile", "", stats + " --html runs/a/total.txt runs/a",
                      "runs/a/total.txt", 1,
                      "tessaly-stats: cannot write runs/a/total.txt: it is the input "
                      "runs/a/total.txt\n"},
        OddOutputCase{"StatsPageOverTheStatisticsBackup", "",
                      stats + " --html runs/a/total.bak runs/a", "runs/a/total.bak", 1,
                      "tessaly-stats: cannot write runs/a/total.bak: it is the input "
                      "runs/a/total.bak\n"},
        OddOutputCase{"StatsPageAsTheDeepestBoardNotThereYet", "absent",
                      stats + " --html runs/a/deepest.txt runs/a", "runs/a/deepest.txt", 1,
                      "tessaly-stats: cannot write runs/a/deepest.txt: it is the name of the input "
                      "runs/a/deepest.txt\n"},
        OddOutputCase{"StatsPageAsTheFarmsHistoryNotThereYet", "absent",
                      stats + " --html runs/history.csv runs/a", "runs/history.csv", 1,
                      "tessaly-stats: cannot write runs/history.csv: it is the name of the input "
                      "DIR/runs/history.csv\n"},
        OddOutputCase{"StatsPageThroughADanglingLink", "gone/page.html",
                      stats + " --html out runs/a", "out", 1,
                      "tessaly-stats: cannot write out: it is a symbolic link to nothing\n"},
        OddOutputCase{"GenIntoADirectory", "directory", gen + " out", "out", 1,
                      "tessaly-gen: cannot write out: it is a directory, not a regular file\n"},
        OddOutputCase{"GenSolutionIntoTheNullDeviceThroughALink", "/dev/null",
                      gen + " --solution out more.txt", "out", 0, ""},
        OddOutputCase{"FarmPageOverItsLockFile", "", farm + " -j 1 --html farm/tessaly.lock",
                      "farm/tessaly.lock", 1,
                      "tessaly-farm: cannot write farm/tessaly.lock: it is the input "
                      "DIR/farm/tessaly.lock\n"},
        OddOutputCase{
            "FarmPageOverItsPieces", "", farm + " -j 1 --html k7pieces.txt", "k7pieces.txt", 1,
            "tessaly-farm: cannot write k7pieces.txt: it is the input DIR/k7pieces.txt\n"}),
    [](const testing::TestParamInfo<OddOutputCase>& info) { return std::string(info.param.name); });

namespace {

struct FifoCase {
    const char* name;
    const char* fifo;  // the input that is a FIFO
    std::string command;
    int status;
    std::string message;  // DIR stands for the directory
};

void PrintTo(const FifoCase& c, std::ostream* os) {
    *os << c.name;
}

class FifoInputs : public testing::TestWithParam<FifoCase> {};

}  // namespace

TEST_P(FifoInputs, EndTheProgramAtOnceWithAMessageNamingTheFile) {
    const FifoCase& c = GetParam();
    PuzzleDirectory puzzle;
    const TempDir& dir = puzzle.dir;
    std::filesystem::remove(dir.file(c.fifo));
    ASSERT_EQ(mkfifo(dir.file(c.fifo).c_str(), 0644), 0);
    // Before the mend the programs waited in the open for a writer, past SIGTERM.
    const ProgramResult result = runProgram(c.command, dir.path, "", 20);
    EXPECT_EQ(result.status, c.status) << result.out << result.err;
    std::string message = c.message;
    if (message.find("DIR") != std::string::npos) message.replace(message.find("DIR"), 3, dir.path);
    EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("farm/1")));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, FifoInputs,
    testing::Values(
        FifoCase{"SolverPieces", "k7pieces.txt", TESSALY_BIN, 1,
                 "Cannot open piece file DIR/k7pieces.txt\nIt is a FIFO, not a regular file\n"
                 "Please read the instructions how to create this file\n"},
        FifoCase{"GroupsPieces", "k7pieces.txt", std::string(TESSALY_GROUPS_BIN) + " --seconds 1",
                 1, "Cannot open piece file k7pieces.txt\nIt is a FIFO, not a regular file\n"},
        FifoCase{"FarmPieces", "k7pieces.txt", farm + " -j 1", 1,
                 "tessaly-farm: DIR/k7pieces.txt is a FIFO, not a regular file\n"},
        FifoCase{"FarmBoardFile", "board.txt", farm + " -j 1 board.txt", 1,
                 "tessaly-farm: cannot read the board file board.txt: it is a FIFO, not a "
                 "regular file\n"},
        FifoCase{"StatsHistory", "history.csv",
                 stats + " --html page.html --history history.csv runs/a", 0,
                 "tessaly-stats: history.csv is a FIFO, not a regular file\n"}),
    [](const testing::TestParamInfo<FifoCase>& info) { return std::string(info.param.name); });
