// The companion programs run unattended: output that cannot be written is a failure, and the
// benchmark neither waits for input nor runs on without progress.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/test_support.h"

// A directory with a generated puzzle and its solution as a board file.
class Unattended : public testing::Test {
protected:
    void SetUp() override {
        const ProgramResult made = runProgram(std::string(TESSALY_GEN_BIN) +
                                                  " --seed 3 --colours 12 --rim-colours 4 "
                                                  "--solution solution.txt k7pieces.txt",
                                              dir.path);
        ASSERT_EQ(made.status, 0) << made.err;
    }
    TempDir dir;
};

TEST_F(Unattended, OutputThatCannotBeWrittenEndsWithAFailureStatus) {
    std::filesystem::create_directory(dir.file("d"));
    writeFile(dir.file("d/total.txt"), "K7 stats\nnodes=5\n");
    struct Case {
        const char* program;
        const char* arguments;
    };
    for (const Case& c :
         {Case{TESSALY_STATS_BIN, " d"}, Case{TESSALY_SHOW_BIN, " k7pieces.txt solution.txt"},
          Case{TESSALY_BENCH_BIN, " --runs 1 --nodes 1000"}}) {
        const std::string command = std::string(c.program) + c.arguments;
        EXPECT_EQ(runProgram(command, dir.path).status, 0) << command;
        const ProgramResult full = runProgram("sh -c '" + command + " >/dev/full'", dir.path);
        EXPECT_EQ(full.status, 1) << command;
        EXPECT_NE(full.err.find(": cannot write the standard output: "), std::string::npos)
            << full.err;
    }
}

TEST_F(Unattended, TheBenchmarkNeitherWaitsOnABadPieceFileNorRunsOnWithoutANode) {
    writeFile(dir.file("bad.txt"), "1 2 3\n");
    // Standard input stays open and empty: a wait for Enter would last as long as the sleep.
    const pid_t shell = startProgram(
        {"/bin/sh", "-c",
         std::string("sleep 30 | (") + TESSALY_BENCH_BIN + " bad.txt; echo $? >status.txt)"},
        dir.path, "out.txt", "err.txt");
    for (int tenth = 0; tenth < 100 && readFile(dir.file("status.txt")).empty(); ++tenth)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(readFile(dir.file("status.txt")), "1\n");
    EXPECT_EQ(readFile(dir.file("out.txt")), "");
    EXPECT_FALSE(readFile(dir.file("err.txt")).empty());
    kill(shell, SIGKILL);  // its sleep ends by itself
    waitForExit(shell, 5);
    // The whole solution as the board: no run has a legal move.
    const ProgramResult stuck = runProgram(
        std::string(TESSALY_BENCH_BIN) + " --nodes 1000000 --board solution.txt k7pieces.txt",
        dir.path, "", 60);
    EXPECT_EQ(stuck.status, 1) << stuck.err;
    EXPECT_NE(stuck.out.find("nodes 0\n"), std::string::npos) << stuck.out;
    EXPECT_NE(stuck.err.find("100 runs in a row searched no node"), std::string::npos) << stuck.err;
}
