// tessaly-groups makes the same groups file for the same seed and node total on any number of
// cores, never replaces one unasked, and the solver and the benchmark take what it writes.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace {

const std::string groupsProgram = TESSALY_GROUPS_BIN;
const std::string deepPuzzle = TESSALY_SOURCE_DIR "/puzzles/deep/k7pieces.txt";

ProgramResult startSolver(const TempDir& dir) {
    return runProgram(std::string(TESSALY_BIN), dir.path, "\n", 2);
}

// The processes that run in `directory`: the program started there and the runs it forked.
std::vector<pid_t> processesIn(const std::string& directory) {
    std::vector<pid_t> pids;
    const std::filesystem::path place = std::filesystem::canonical(directory);
    std::error_code fault;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", fault)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code gone;
        if (std::filesystem::read_symlink(entry.path() / "cwd", gone) == place)
            pids.push_back(std::stoi(name));
    }
    return pids;
}

bool eventually(const std::function<bool()>& condition, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// Kills whatever a failed test left running in `directory`.
void endLeftovers(const std::string& directory) {
    for (const pid_t pid : processesIn(directory))
        kill(pid, SIGKILL);
}

}  // namespace

TEST(GroupsProgram, SameSeedAndNodeTotalGiveTheSameFileOnAnyNumberOfCores) {
    TempDir one, two;
    std::string files[2], reports[2];
    int i = 0;
    for (const TempDir* dir : {&one, &two}) {
        std::filesystem::copy_file(deepPuzzle, dir->file("k7pieces.txt"));
        const ProgramResult result =
            runProgram(groupsProgram + " --nodes 3000000 --run-nodes 1000000 --seed 4 -j " +
                           std::to_string(i + 1),
                       dir->path, "", 300);
        ASSERT_EQ(result.status, 0) << result.err;
        files[i] = readFile(dir->file("k7groups.txt"));
        reports[i] = result.out;
        ++i;
    }
    EXPECT_EQ(files[0], files[1]);
    EXPECT_EQ(reports[0].substr(0, reports[0].find("Wrote")),
              reports[1].substr(0, reports[1].find("Wrote")));
    EXPECT_NE(reports[0].find("Harvested 3 runs without group rules: 300000"), std::string::npos)
        << reports[0];

    // The benchmark and the solver take the groups; a second harvest does not replace them.
    const ProgramResult bench = runProgram(
        std::string(TESSALY_BENCH_BIN) + " --groups k7groups.txt --nodes 100000 k7pieces.txt",
        one.path);
    EXPECT_EQ(bench.status, 0) << bench.err;
    EXPECT_NE(
        startSolver(one).out.find("\nPiece groups are read from " + one.path + "/k7groups.txt\n"),
        std::string::npos);
    const ProgramResult again = runProgram(groupsProgram + " --nodes 1000", one.path);
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("k7groups.txt exists; --force replaces it"), std::string::npos);
    EXPECT_EQ(readFile(one.file("k7groups.txt")), files[0]);

    ASSERT_EQ(runProgram(groupsProgram + " --off --force", one.path).status, 0);
    const ProgramResult off = startSolver(one);
    EXPECT_NE(off.out.find("\nPiece group rules are off, as " + one.path + "/k7groups.txt says\n"),
              std::string::npos)
        << off.out;
}

TEST(GroupsProgram, TheSolverRefusesAFaultyGroupsFileBeforeWritingAnything) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), simplePieceFileText());
    for (const char* text : {"", "first 1 2 3\nsecond 4\n", "off\nfirst\n"}) {
        writeFile(dir.file("k7groups.txt"), text);
        const ProgramResult result = startSolver(dir);
        EXPECT_EQ(result.status, 1) << text;
        EXPECT_EQ(result.err.rfind("Groups file " + dir.path + "/k7groups.txt", 0), 0u)
            << result.err;
        EXPECT_EQ(result.out, "Press enter to exit\n");
        EXPECT_FALSE(std::filesystem::exists(dir.file("total.txt")));
    }
}

TEST(GroupsProgram, ItsRunsEndWithItHoweverItIsSignalled) {
    for (const int signalNumber : {SIGTERM, SIGKILL}) {
        TempDir dir;
        std::filesystem::copy_file(deepPuzzle, dir.file("k7pieces.txt"));
        const pid_t groups = startProgram(
            {groupsProgram, "-j", "2", "--seconds", "3600", "--run-nodes", "1000000000000000"},
            dir.path, "out.txt", "err.txt");
        // The program and its two runs.
        EXPECT_TRUE(eventually([&] { return processesIn(dir.path).size() == 3; }, 60));
        ASSERT_EQ(kill(groups, signalNumber), 0);
        EXPECT_EQ(waitForExit(groups, 30), 128 + signalNumber);
        EXPECT_TRUE(eventually([&] { return processesIn(dir.path).empty(); }, 20))
            << "runs left by signal " << signalNumber;
        endLeftovers(dir.path);
    }
}

TEST(GroupsProgram, ARunThatCannotStartEndsTheRunsStarted) {
    // Too few descriptors for the pipes of 64 runs.
    TempDir dir;
    std::filesystem::copy_file(deepPuzzle, dir.file("k7pieces.txt"));
    const ProgramResult result =
        runProgram("sh -c 'ulimit -n 24 && exec " + groupsProgram +
                       " -j 64 --seconds 3600 --run-nodes 1000000000000000'",
                   dir.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("tessaly-groups: cannot make a pipe: Too many open files"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(processesIn(dir.path).empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("k7groups.txt")));
    endLeftovers(dir.path);
}
