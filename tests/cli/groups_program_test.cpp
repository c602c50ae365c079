// tessaly-groups makes the same groups file for the same seed and node total on any number of
// cores, never replaces one unasked, and the solver and the benchmark take what it writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"

namespace {

const std::string groupsProgram = TESSALY_GROUPS_BIN;
const std::string deepPuzzle = TESSALY_SOURCE_DIR "/puzzles/deep/k7pieces.txt";

ProgramResult startSolver(const TempDir& dir) {
    return runProgram(std::string(TESSALY_BIN), dir.path, "\n", 2);
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
