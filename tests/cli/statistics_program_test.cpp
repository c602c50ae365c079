// The statistics of the built solver across starts, kills and interrupts.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

// Starts the solver in `directory` with its output appended to out.txt and err.txt there.
pid_t startSolver(const std::string& directory) {
    return startProgram({TESSALY_BIN}, directory, "out.txt", "err.txt", true);
}

// The node total of a statistics file, or -1 when the file is not a whole statistics file.
long long nodesIn(const std::string& text) {
    const auto lines = linesOf(text);
    if (lines.size() < 5 || lines[0] != "K7 stats" || lines[1].rfind("nodes=", 0) != 0 ||
        lines[2].rfind("secs=", 0) != 0 || lines[3].rfind("best=", 0) != 0 ||
        lines[4].rfind("check=", 0) != 0 || text.back() != '\n')
        return -1;
    return std::stoll(lines[1].substr(6));
}

class StatisticsProgram : public testing::Test {
protected:
    void SetUp() override {
        writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle({31, 17, 5})));
    }
    // Starts the solver where its first run soon finds a full board, and waits for that board:
    // a stop from then on ends a run that has searched.
    pid_t startSearchingSolver() {
        writeFile(dir.file("k7pieces.txt"), quickBoardPieces());
        const FixedSeeds seeds(quickBoardSeeds);
        const pid_t pid = startSolver(dir.path);
        EXPECT_TRUE(waitForFileText(dir.file("out.txt"), "Board is saved in"));
        return pid;
    }
    TempDir dir;
};

}  // namespace

TEST_F(StatisticsProgram, FirstStartPrintsAnEmptyReportAfterTheBanner) {
    const ProgramResult result = runUntil({TESSALY_BIN}, dir.path, "Grade");
    const std::string rule(63, '-');
    const std::string expected =
        "Tessaly solver version 1.0\n\nBest scores are stored in " + dir.path +
        "\n\n\n                 Since previous     Since start     Grand total\n" + rule +
        "\n          Nodes                             0 G             0 G\n" +
        "           Time          0 h 0'          0 h 0'          0 h 0'\n" +
        "      Nodes/sec             0 K             0 K             0 K\n" +
        "           Best                               0               0\n" +
        "          Grade                 could be better could be better\n" + rule + "\n";
    EXPECT_EQ(result.out.substr(0, expected.size()), expected);
    EXPECT_EQ(result.err.substr(0, 25), "could not open total.txt\n");
}

TEST_F(StatisticsProgram, InterruptSavesTheRunningRunAndEndsWithStatusZero) {
    const pid_t pid = startSearchingSolver();
    EXPECT_EQ(stopProgram(pid, SIGINT), 0) << readFile(dir.file("out.txt"));
    EXPECT_GT(nodesIn(readFile(dir.file("total.txt"))), 0);
    EXPECT_NE(readFile(dir.file("out.txt")).find("Stopped; the statistics are saved in"),
              std::string::npos);
}

TEST_F(StatisticsProgram, ASignalSentTwiceAtOnceIsOneStopThatSaves) {
    // timeout, Slurm and service managers signal the process and its group, or forward the
    // signal as well; the second copy must not end the program before it has saved.
    const pid_t pid = startSearchingSolver();
    kill(pid, SIGTERM);
    kill(pid, SIGTERM);
    EXPECT_EQ(stopProgram(pid, SIGINT), 0) << readFile(dir.file("out.txt"));
    EXPECT_GT(nodesIn(readFile(dir.file("total.txt"))), 0);
}

TEST_F(StatisticsProgram, AStopWhoseSaveFailsSaysSoAndEndsWithStatusOne) {
    // A directory in the place of total.bak: it cannot be replaced.
    std::filesystem::create_directory(dir.file("total.bak"));
    const pid_t pid = startSolver(dir.path);
    EXPECT_TRUE(waitForFileText(dir.file("out.txt"), "Grade"));
    EXPECT_EQ(stopProgram(pid, SIGINT), 1);
    const std::string err = readFile(dir.file("err.txt"));
    EXPECT_NE(err.find("Stopped; the statistics could not be saved in " + dir.path + "\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(readFile(dir.file("out.txt")).find("Stopped; the statistics are saved"),
              std::string::npos);
}

TEST_F(StatisticsProgram, KillingAtAnyMomentNeverTearsAFileNorLosesSavedNodes) {
    std::mt19937 random(12345);
    long long lastNodes = 0;
    for (int round = 0; round < 5; ++round) {
        const pid_t pid = startSolver(dir.path);
        // The first round lets a run end and save, however slow the machine; the others kill
        // at any moment.
        if (round == 0) {
            EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(dir.file("total.txt")); }));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 2000));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        for (const char* name : {"total.txt", "total.bak"}) {
            if (!std::filesystem::exists(dir.file(name))) continue;
            EXPECT_GE(nodesIn(readFile(dir.file(name))), 0) << name << " torn in round " << round;
        }
        if (std::filesystem::exists(dir.file("total.txt"))) {
            const long long nodes = nodesIn(readFile(dir.file("total.txt")));
            EXPECT_GE(nodes, lastNodes) << "round " << round;
            lastNodes = nodes;
        }
    }
    EXPECT_GT(lastNodes, 0);
}

// The squares tessaly-show finds filled in the board file `name` of `directory`, or -1.
int filledSquares(const std::string& directory, const std::string& name) {
    const ProgramResult shown =
        runProgram(std::string(TESSALY_SHOW_BIN) + " k7pieces.txt " + name, directory);
    int filled = -1;
    const std::size_t at = shown.out.find(": board file, ");
    if (shown.status != 0 || at == std::string::npos ||
        std::sscanf(shown.out.c_str() + at, ": board file, %d of 256", &filled) != 1)
        return -1;
    return filled;
}

TEST(DeepestBoardProgram, RunsOnAHardPuzzleLeaveADeepBoardThatAKillNeverMakesShallower) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle({9202, 17, 4})));
    writeFile(dir.file("k7groups.txt"), "off\n");
    // With seeds N,N for N from 1 to 6 the first run on this puzzle ended at the early-failure
    // check with 238 to 244 squares filled; these make it the same run at every start.
    const FixedSeeds seeds("1,1");
    const pid_t first = startProgram({TESSALY_BIN}, dir.path, "out.txt", "err.txt", true);
    // The end of the first run saves the deepest board.
    EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(dir.file("deepest.txt")); }));
    EXPECT_EQ(stopProgram(first), 0);
    EXPECT_EQ(readFile(dir.file("out.txt")).find("deepest"), std::string::npos)
        << "the console says nothing of it";
    const int filled = filledSquares(dir.path, "deepest.txt");
    EXPECT_GE(filled, 200);
    for (int round = 0; round < 2; ++round) {
        const pid_t pid = startProgram({TESSALY_BIN}, dir.path, "out.txt", "err.txt", true);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500 + 700 * round));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        EXPECT_GE(filledSquares(dir.path, "deepest.txt"), filled) << "round " << round;
    }
}

TEST_F(StatisticsProgram, ASecondSolverInTheSameDirectoryRefusesAndTouchesNothing) {
    const pid_t first = startSolver(dir.path);
    // The banner comes once the first one holds the directory.
    EXPECT_TRUE(waitForFileText(dir.file("out.txt"), "Best scores are stored in"));
    const std::string before = readFile(dir.file("total.txt"));
    const ProgramResult second = runProgram(TESSALY_BIN, dir.path);
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err,
              dir.path + " is in use by another process (pid " + std::to_string(first) +
                  "); only one solver or farm at a time may keep its statistics there\n");
    EXPECT_EQ(waitForExit(first, 0), -1) << "the first one goes on";
    EXPECT_EQ(stopProgram(first, SIGINT), 0);
    EXPECT_GE(nodesIn(readFile(dir.file("total.txt"))), before.empty() ? 0 : nodesIn(before));
}

TEST_F(StatisticsProgram, AnOutputPipeWhoseReaderHasGoneStopsTheSolverWithItsStatisticsSaved) {
    // Every run from the whole planted board ends at once and prints a line as it loads the
    // board, so the solver writes to the closed pipe within a second of its reader's end.
    writeFile(dir.file("start.txt"), solutionBoardText(generatePuzzle({31, 17, 5})));
    const ProgramResult result = runProgram(
        std::string("sh -c '(") + TESSALY_BIN + " start.txt; echo $? >status.txt) | head -3'",
        dir.path);
    EXPECT_EQ(linesOf(result.out).size(), 3u);
    EXPECT_EQ(readFile(dir.file("status.txt")), "0\n");
    EXPECT_GE(nodesIn(readFile(dir.file("total.txt"))), 0);
}
