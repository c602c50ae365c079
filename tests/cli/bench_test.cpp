// The benchmark's node count is the signature of the search: it changes only when the
// search is meant to behave differently, and then the pinned count changes with it.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/test_support.h"
#include "tools/common/yield_sweep.h"

// The three documented workloads, cut short by a node total so that they stay quick under the
// sanitizers: the hard one, exhausted runs on the bench puzzle; the deep one, on a 12-colour
// puzzle whose runs spend their time editing candidate lists beyond depth 80 (with other
// seeds, reaching full boards, whose words the digest covers), and the deep one without group
// rules, which has steps of its own; and real use, the bench puzzle under the groups
// tessaly-groups made for it. A run cut by the node total stops at the first check at which
// the total is reached.
struct Workload {
    std::string_view puzzle;  // "deep": the deep puzzle; "bench": the bench puzzle's groups
    const char* arguments;
    const char* runLines;
    const char* total;
};

TEST(Bench, NodeCountsAndBoardsOfTheWorkloadsAreTheSearchsSignature) {
    TempDir dir;
    const Workload workloads[] = {
        {"", "--runs 12 --nodes 40000000",
         "run 1: group 6, end exhausted, nodes 25470870, full boards 0, depth 58\n"
         "run 2: group 30, end exhausted, nodes 11281583, full boards 0, depth 59\n"
         "run 3: group 49, end node total, nodes 3247548, full boards 0, depth 56\n",
         "\nnodes 40000001\n"},
        {"deep", "--nodes 300000 --seeds 1,1", "run 1: group 25, end node total, nodes 300000, ",
         "\nnodes 300000\n"},
        {"deep", "--nodes 2000000 --seeds 5,5",
         "run 1: group 11, end node total, nodes 2000000, full boards 14, depth 254\n",
         "\nbest score 463\nmedian depth 254\nboards digest b776b60248fd2057\n"},
        {"deep", "--no-group-rules --nodes 3000000 --seeds 1,1",
         "run 1: groups off, end node total, nodes 3000000, full boards 6, depth 254\n",
         "\nbest score 463\nmedian depth 254\nboards digest 7398be4f386f329b\n"},
        {"bench", "--nodes 60000000 --seeds 1,2",
         "run 1: group 48, end -, nodes 40000009, full boards 0, depth 62\n"
         "run 2: group 27, end node total, nodes 19999991, full boards 0, depth 61\n",
         "\nnodes 60000000\n"},
    };
    const std::string puzzles = std::string(TESSALY_SOURCE_DIR) + "/puzzles/";
    for (const Workload& w : workloads) {
        std::string command = std::string(TESSALY_BENCH_BIN) + " --verbose " + w.arguments;
        if (w.puzzle == "deep") command += " " + puzzles + "deep/k7pieces.txt";
        if (w.puzzle == "bench") command += " --groups " + puzzles + "bench/k7groups.txt";
        const ProgramResult result = runProgram(command, dir.path, "", 300);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out.rfind(w.runLines, 0), 0u) << w.arguments << "\n" << result.out;
        EXPECT_NE(result.out.find(w.total), std::string::npos) << w.arguments << "\n" << result.out;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path),
                            std::filesystem::directory_iterator()),
              0)
        << "the benchmark writes no files";
}

// The numbers on the profile line that begins with `label`.
std::vector<long long> profileNumbers(const std::string& out, const std::string& label) {
    std::vector<long long> numbers;
    const std::size_t at = out.find("\n" + label);
    if (at == std::string::npos) return numbers;
    const std::size_t start = at + 1 + label.size();
    std::istringstream line(out.substr(start, out.find('\n', start) - start));
    for (std::string word; line >> word;) {
        if (word.ends_with(',')) word.pop_back();
        if (!word.empty() && word.find_first_not_of("0123456789") == std::string::npos)
            numbers.push_back(std::stoll(word));
    }
    return numbers;
}

TEST(Bench, ProfileShowsWhereTheNodesWentWithoutChangingTheSearch) {
    TempDir dir;
    const std::string deepPuzzle = std::string(TESSALY_SOURCE_DIR) + "/puzzles/deep/k7pieces.txt";
    for (const char* rules : {"", "--no-group-rules "}) {
        const std::string command = std::string(TESSALY_BENCH_BIN) + " --verbose " + rules +
                                    "--nodes 3000000 --seeds 5,5 " + deepPuzzle;
        const ProgramResult plain = runProgram(command, dir.path, "", 300);
        const ProgramResult profiled = runProgram(command + " --profile", dir.path, "", 300);
        ASSERT_EQ(profiled.status, 0) << profiled.err;
        const std::string signature = plain.out.substr(0, plain.out.find("seconds"));
        EXPECT_EQ(profiled.out.substr(0, signature.size()), signature) << rules;
        long long bands = 0;
        for (const char* band : {"0-119 ", "120-192 ", "193-229 ", "230-247 ", "248-254 "})
            bands += profileNumbers(profiled.out, std::string("nodes at depths ") + band).at(0);
        EXPECT_EQ(bands, profileNumbers(profiled.out, "nodes ").at(0)) << profiled.out;
        const std::vector<long long> deep = profileNumbers(profiled.out, "placements at depths");
        ASSERT_EQ(deep.size(), 15u) << profiled.out;
        EXPECT_EQ(deep.back(), profileNumbers(profiled.out, "full boards").at(0)) << rules;
        long long ends = 0;
        for (const long long count : profileNumbers(profiled.out, "run ends"))
            ends += count;
        long long runs = 0;
        for (const std::string& line : linesOf(profiled.out))
            runs += line.starts_with("run ") && line.find(", end ") != std::string::npos;
        EXPECT_EQ(ends, runs) << profiled.out;
        // Each band of deep runs counts the runs whose deepest depth lies in it, every one of
        // them ended one way or another.
        for (const auto& [first, last] :
             {std::pair{240, 247}, {248, 249}, {250, 251}, {252, 253}}) {
            int inBand = 0;
            for (const std::string& line : linesOf(profiled.out))
                if (const std::size_t at = line.find(", depth ");
                    line.starts_with("run ") && at != std::string::npos) {
                    const int depth = std::stoi(line.substr(at + 8));
                    inBand += depth >= first && depth <= last;
                }
            const std::vector<long long> band =
                profileNumbers(profiled.out, "deepest " + std::to_string(first) + "-" +
                                                 std::to_string(last) + ":");
            ASSERT_EQ(band.size(), 6u) << profiled.out;
            EXPECT_EQ(band[0], inBand) << first << profiled.out;
            EXPECT_EQ(band[1] + band[2] + band[3] + band[4] + band[5], inBand)
                << first << profiled.out;
        }
    }
}

TEST(Bench, RimLookAheadIsRefusedOnPiecesThatMixRimAndInnerColours) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), simplePieceFileText());
    const ProgramResult result =
        runProgram(std::string(TESSALY_BENCH_BIN) + " --rim-look-ahead k7pieces.txt", dir.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("tessaly-bench: the rim look-ahead cannot be used here: colour "),
              std::string::npos)
        << result.err;
}

TEST(Bench, TwoProcessesWithTheSameSeedsSearchAlikeAndStopAtTheirRuns) {
    TempDir dir;
    auto runsOf = [&dir](const std::string& seeds) {
        const ProgramResult result =
            runProgram(std::string(TESSALY_BENCH_BIN) +
                           " --runs 2 --nodes 30000000 --verbose --seeds " + seeds,
                       dir.path, "", 300);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out.find("run 3:"), std::string::npos) << "two runs at most";
        return result.out.substr(0, result.out.find("seconds"));
    };
    const std::string first = runsOf("7,8");
    EXPECT_EQ(runsOf("7,8"), first);
    EXPECT_NE(runsOf("7,9"), first);
}

TEST(Bench, ASweepRunsEachSeedPairAsTheSingleWorkloadDoesAndTwoSweepsCompare) {
    TempDir dir;
    const std::string deepPuzzle = std::string(TESSALY_SOURCE_DIR) + "/puzzles/deep/k7pieces.txt";
    const std::string setting = " --no-group-rules --nodes 2000000 " + deepPuzzle;
    const ProgramResult plain = runProgram(TESSALY_BENCH_BIN " --pairs 2 -j 2" + setting, dir.path);
    const ProgramResult lookAhead =
        runProgram(TESSALY_BENCH_BIN " --pairs 2 -j 2 --rim-look-ahead" + setting, dir.path);
    ASSERT_EQ(plain.status, 0) << plain.err;
    ASSERT_EQ(lookAhead.status, 0) << lookAhead.err;
    writeFile(dir.file("a.txt"), plain.out);
    writeFile(dir.file("b.txt"), lookAhead.out);
    std::string problem;
    const auto rows = readYieldRows(plain.out, problem);
    ASSERT_TRUE(rows) << problem;
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[1].seeds, (SeedPair{20261209, 4244}));
    EXPECT_GT((*rows)[1].cpuSeconds, 0);
    const ProgramResult single =
        runProgram(TESSALY_BENCH_BIN " --seeds 20261209,4244" + setting, dir.path);
    EXPECT_EQ(single.out.rfind("nodes " + std::to_string((*rows)[1].nodes) + "\nfull boards " +
                                   std::to_string((*rows)[1].fullBoards) + "\n",
                               0),
              0u)
        << single.out;
    EXPECT_NE(plain.out.find("\n# full boards "), std::string::npos);
    const ProgramResult compared = runProgram(TESSALY_BENCH_BIN " --compare a.txt b.txt", dir.path);
    EXPECT_EQ(compared.status, 0) << compared.err;
    EXPECT_NE(compared.out.find("\n# deepest 254 "), std::string::npos) << compared.out;

    // A sweep that holds a seed pair twice is refused.
    writeFile(dir.file("c.txt"), plain.out + linesOf(plain.out)[2] + "\n");
    const ProgramResult twice = runProgram(TESSALY_BENCH_BIN " --compare a.txt c.txt", dir.path);
    EXPECT_EQ(twice.status, 1);
    EXPECT_NE(twice.err.find("is in the second sweep twice"), std::string::npos) << twice.err;
}

TEST(Bench, RejectsBadArgumentsWithStatus2) {
    TempDir dir;
    for (const char* arguments :
         {"--runs 0", "--runs x", "--seeds 1", "--seeds 1,x", "--fast", "--nodes 0", "--nodes",
          "--board", "--groups", "--groups x --no-group-rules", "--scarcity 1001", "--scarcity",
          "--pairs 0", "-j 2", "--pairs 2 --sweep-row", "--compare a", "--compare a b --runs 2"})
        EXPECT_EQ(runProgram(std::string(TESSALY_BENCH_BIN) + " " + arguments, dir.path).status, 2)
            << arguments;
}
