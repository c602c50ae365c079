// The benchmark's node count is the signature of the search: it changes only when the
// search is meant to behave differently, and then the pinned count changes with it.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

TEST(Bench, NodeCountOfTwoRunsOnTheBenchPuzzleIsTheSearchsSignature) {
    TempDir dir;
    const ProgramResult result =
        runProgram(std::string(TESSALY_BENCH_BIN) + " --runs 2 --verbose", dir.path, "", 300);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("run 1: group 6, end exhausted, nodes 25470870, full boards 0\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\nnodes 36752453\n"), std::string::npos) << result.out;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path),
                            std::filesystem::directory_iterator()),
              0)
        << "the benchmark writes no files";
}

TEST(Bench, TwoProcessesWithTheSameSeedsSearchAlike) {
    TempDir dir;
    auto runsOf = [&dir](const std::string& seeds) {
        const ProgramResult result =
            runProgram(std::string(TESSALY_BENCH_BIN) + " --runs 3 --verbose --seeds " + seeds,
                       dir.path, "", 300);
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out.substr(0, result.out.find("seconds"));
    };
    const std::string first = runsOf("7,8");
    EXPECT_EQ(runsOf("7,8"), first);
    EXPECT_NE(runsOf("7,9"), first);
}

TEST(Bench, RejectsBadArgumentsWithStatus2) {
    TempDir dir;
    for (const char* arguments : {"--runs 0", "--runs x", "--seeds 1", "--seeds 1,x", "--fast"})
        EXPECT_EQ(runProgram(std::string(TESSALY_BENCH_BIN) + " " + arguments, dir.path).status, 2)
            << arguments;
}
