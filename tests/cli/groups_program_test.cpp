// tessaly-groups makes the same groups file for the same seed and node totals on any number of
// cores, never replaces one unasked, writes the candidate its trial found best with what each
// reached, and the solver and the benchmark take what it writes; the processes it starts end
// with it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "run/groups_file.h"
#include "tests/test_support.h"

namespace {

const std::string groupsProgram = TESSALY_GROUPS_BIN;
const std::string deepPuzzle = TESSALY_SOURCE_DIR "/puzzles/deep/k7pieces.txt";

// The solver started in `dir` until it prints `line` (then stopped), or until it ends by itself
// when `line` is empty.
ProgramResult startSolverHere(const TempDir& dir, const std::string& line = "") {
    if (line.empty())
        return runProgram(std::string(TESSALY_BIN), dir.path, "\n", static_cast<int>(eventSeconds));
    return runUntil({TESSALY_BIN}, dir.path, line);
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

// The processes whose parent is `parent` and whose name is `name`.
std::vector<pid_t> childrenNamed(pid_t parent, const std::string& name) {
    std::vector<pid_t> children;
    std::error_code fault;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", fault)) {
        // "PID (NAME) STATE PPID ..."
        const std::string stat = readFile(entry.path().string() + "/stat");
        const std::size_t close = stat.rfind(") ");
        int pid = 0, ppid = 0;
        char state = 0;
        if (close == std::string::npos || std::sscanf(stat.c_str(), "%d", &pid) != 1 ||
            std::sscanf(stat.c_str() + close + 2, "%c %d", &state, &ppid) != 2)
            continue;
        if (ppid == parent && stat.substr(stat.find('(') + 1, close - stat.find('(') - 1) == name)
            children.push_back(pid);
    }
    return children;
}

// The CPU seconds of this program's children that have ended and been waited for, and of
// theirs.
double reapedChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

}  // namespace

TEST(GroupsProgram, SameSeedAndNodeTotalGiveTheSameFileOnAnyNumberOfCores) {
    TempDir one, two;
    std::string files[2], reports[2];
    int i = 0;
    for (const TempDir* dir : {&one, &two}) {
        std::filesystem::copy_file(deepPuzzle, dir->file("k7pieces.txt"));
        const ProgramResult result = runProgram(
            groupsProgram + " --nodes 3000000 --run-nodes 1000000 --seed 4 --no-trial -j " +
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

    // The benchmark and the solver take the file; a second harvest does not replace it.
    const ProgramResult bench = runProgram(
        std::string(TESSALY_BENCH_BIN) + " --groups k7groups.txt --nodes 100000 k7pieces.txt",
        one.path);
    EXPECT_EQ(bench.status, 0) << bench.err;
    RunGroups written;
    ASSERT_EQ(parseGroups(files[0], "k7groups.txt", written), "");
    const std::string readLine =
        written.rules == StepRules::groups
            ? "\nPiece groups are read from " + one.path + "/k7groups.txt\n"
            : "\nPiece group rules are off, as " + one.path + "/k7groups.txt says\n";
    EXPECT_NE(startSolverHere(one, readLine).out.find(readLine), std::string::npos);
    const ProgramResult again = runProgram(groupsProgram + " --nodes 1000", one.path);
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("k7groups.txt exists; --force replaces it"), std::string::npos);
    EXPECT_EQ(readFile(one.file("k7groups.txt")), files[0]);

    ASSERT_EQ(runProgram(groupsProgram + " --off --force", one.path).status, 0);
    const std::string offLine =
        "\nPiece group rules are off, as " + one.path + "/k7groups.txt says\n";
    EXPECT_NE(startSolverHere(one, offLine).out.find(offLine), std::string::npos);
}

TEST(GroupsProgram, TheTrialWritesTheCandidateThatDidBestAndWhatEachReached) {
    TempDir tried, untried;
    const std::string harvest = groupsProgram + " --nodes 2000000 --run-nodes 1000000 --seed 5 ";
    for (const TempDir* dir : {&tried, &untried})
        std::filesystem::copy_file(deepPuzzle, dir->file("k7pieces.txt"));
    const ProgramResult result = runProgram(harvest + "--trial-nodes 150000", tried.path, "", 300);
    ASSERT_EQ(result.status, 0) << result.err;
    ASSERT_EQ(runProgram(harvest + "--no-trial", untried.path, "", 300).status, 0);
    const std::string file = readFile(tried.file("k7groups.txt"));

    // Each candidate's row; its figures on the first seed pair are the benchmark's own.
    const std::string pairs = "seed pairs 5001,5002 5003,5004 5005,5006";
    EXPECT_NE(result.out.find("Tried each candidate with tessaly-bench, 150000 nodes on each of "
                              "the " +
                              pairs + ":\n"),
              std::string::npos)
        << result.out;
    const struct {
        const char* name;
        std::string option;
    } rows[] = {{"derived groups", "--groups " + untried.file("k7groups.txt")},
                {"rules off", "--no-group-rules"},
                {"built-in groups", ""}};
    for (const auto& row : rows) {
        int boards = -1, firstBoards = -1;
        double depth = -1, firstDepth = -1;
        const std::size_t at = result.out.find(std::string("\n  ") + row.name + " ");
        ASSERT_NE(at, std::string::npos) << row.name << "\n" << result.out;
        const std::string line = result.out.substr(at, result.out.find('\n', at + 1) - at);
        ASSERT_EQ(std::sscanf(line.c_str() + line.find("full boards"), "full boards %d (%d",
                              &boards, &firstBoards),
                  2)
            << line;
        ASSERT_EQ(std::sscanf(line.c_str() + line.find("median deepest depth"),
                              "median deepest depth %lf (%lf", &depth, &firstDepth),
                  2)
            << line;
        const ProgramResult bench = runProgram(std::string(TESSALY_BENCH_BIN) + " " + row.option +
                                                   " --nodes 150000 --seeds 5001,5002 k7pieces.txt",
                                               tried.path);
        ASSERT_EQ(bench.status, 0) << bench.err;
        EXPECT_NE(bench.out.find("\nfull boards " + std::to_string(firstBoards) + "\n"),
                  std::string::npos)
            << row.name << "\n"
            << bench.out << result.out;
        char median[64];
        std::snprintf(median, sizeof median, "\nmedian depth %g\n", firstDepth);
        EXPECT_NE(bench.out.find(median), std::string::npos) << row.name << "\n" << bench.out;
        EXPECT_GE(boards, firstBoards);
        EXPECT_GE(depth, 0);
        EXPECT_NE(
            file.find(std::string(row.name) + " " + std::to_string(boards) + " full boards, "),
            std::string::npos)
            << file;
    }

    // The file is what the report says was chosen, and says why in a comment.
    const std::size_t chose = result.out.find("\nChose the ");
    ASSERT_NE(chose, std::string::npos) << result.out;
    const std::string choice =
        result.out.substr(chose + 1, result.out.find('\n', chose + 1) - chose - 1);
    EXPECT_NE(file.find("\n# " + choice + ".\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\n# Trial, 150000 nodes on each of the " + pairs + ": "),
              std::string::npos)
        << file;
    RunGroups written, derived;
    ASSERT_EQ(parseGroups(file, "k7groups.txt", written), "");
    ASSERT_EQ(parseGroups(readFile(untried.file("k7groups.txt")), "k7groups.txt", derived), "");
    const RunGroups builtIn;
    if (choice.starts_with("Chose the derived groups:")) {
        EXPECT_TRUE(written.rules == StepRules::groups && written.pieces == derived.pieces);
    } else if (choice.starts_with("Chose the rules off:")) {
        EXPECT_TRUE(written.rules == StepRules::noGroups);
    } else {
        ASSERT_TRUE(choice.starts_with("Chose the built-in groups:")) << choice;
        EXPECT_TRUE(written.rules == StepRules::groups && written.table == builtIn.table &&
                    written.pieces == builtIn.pieces);
    }

    // The options are judged on nine seed pairs against the chosen candidate alone, whose
    // first three are the pairs it was chosen on.
    const std::string chosenName = choice.substr(10, choice.find(':') - 10);
    EXPECT_NE(result.out.find("\nTried on the " + chosenName + ", on the " + pairs +
                              " 5007,5008 5009,5010 5011,5012 5013,5014 5015,5016 5017,5018:\n"),
              std::string::npos)
        << result.out;
    // Its median depths by seed pair ("252 237 252"), from its line of the report.
    const auto depthsOf = [&result](const std::string& name) {
        const std::size_t at = result.out.find("\n  " + name + "  ");
        const std::size_t open = result.out.find('(', result.out.find("median deepest", at));
        return at == std::string::npos
                   ? std::string()
                   : result.out.substr(open + 1, result.out.find(')', open) - open - 1);
    };
    const std::string chosen = depthsOf(chosenName), alone = depthsOf(chosenName + " alone");
    EXPECT_EQ(std::count(alone.begin(), alone.end(), ' '), 8) << result.out;
    EXPECT_EQ(alone.substr(0, chosen.size() + 1), chosen + " ") << result.out;
    EXPECT_EQ(runProgram(harvest + "--no-trial --trial-nodes 5", untried.path).status, 2);
}

TEST(GroupsProgram, ForceKeepsTheOptionWordsOfTheFileItReplacesAndSaysSo) {
    const struct {
        const char* old;
        const char* arguments;
        bool kept;
        const char* said;  // on the standard output, or on the error stream without a word kept
    } cases[] = {
        {"rim-look-ahead\n", "--off", true,
         ": the group rules are off (kept the word "
         "rim-look-ahead)\n"},
        {"# by hand\nrim-look-ahead off\n", "--nodes 2000 --run-nodes 1000 --no-trial", true,
         "/k7groups.txt (kept the word rim-look-ahead)\n"},
        {"off\n", "--off", false, ": the group rules are off\n"},
        {"rim-look-ahead\nsecond\n", "--off", false,
         "tessaly-groups: warning: no option words are kept of the k7groups.txt replaced: Groups "
         "file k7groups.txt, line 2: the word second without a first list before it\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        std::filesystem::copy_file(deepPuzzle, dir.file("k7pieces.txt"));
        writeFile(dir.file("k7groups.txt"), c.old);
        const ProgramResult result =
            runProgram(groupsProgram + " --force " + c.arguments, dir.path, "", 120);
        ASSERT_EQ(result.status, 0) << c.old << result.err;
        EXPECT_NE((result.out + result.err).find(c.said), std::string::npos)
            << c.old << result.out << result.err;
        RunGroups written;
        ASSERT_EQ(parseGroups(readFile(dir.file("k7groups.txt")), "k7groups.txt", written), "");
        EXPECT_EQ(written.options.of<RimLookAheadOption>() != 0, c.kept) << c.old;
    }
}

TEST(GroupsProgram, TheSolverRefusesAFaultyGroupsFileBeforeWritingAnything) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), simplePieceFileText());
    for (const char* text : {"", "first 1 2 3\nsecond 4\n", "off\nfirst\n"}) {
        writeFile(dir.file("k7groups.txt"), text);
        const ProgramResult result = startSolverHere(dir);
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

TEST(GroupsProgram, TheTrialsBenchmarksEndWithItHoweverItIsSignalled) {
    for (const int signalNumber : {SIGTERM, SIGKILL}) {
        TempDir dir, temporary;
        std::filesystem::copy_file(deepPuzzle, dir.file("k7pieces.txt"));
        const pid_t groups = startProgram(
            {"/usr/bin/env", "TMPDIR=" + temporary.path, groupsProgram, "--nodes", "1000000",
             "--run-nodes", "1000000", "--trial-nodes", "1000000000000", "-j", "2"},
            dir.path, "out.txt", "err.txt");
        EXPECT_TRUE(
            eventually([&] { return childrenNamed(groups, "tessaly-bench").size() == 2; }, 60))
            << readFile(dir.file("err.txt"));
        ASSERT_EQ(kill(groups, signalNumber), 0);
        EXPECT_EQ(waitForExit(groups, 30), 128 + signalNumber);
        EXPECT_TRUE(eventually([&] { return processesIn(dir.path).empty(); }, 20))
            << "benchmarks left by signal " << signalNumber;
        EXPECT_FALSE(std::filesystem::exists(dir.file("k7groups.txt")));
        // A stop it can catch also removes the derived groups it gave the benchmarks.
        if (signalNumber == SIGTERM) {
            EXPECT_TRUE(std::filesystem::is_empty(temporary.path));
        }
        endLeftovers(dir.path);
    }
}

TEST(GroupsProgram, ItsSecondsAreTheCpuSecondsOfItsRunsHoweverLongTheyWait) {
    TempDir dir;
    std::filesystem::copy_file(deepPuzzle, dir.file("k7pieces.txt"));
    const double before = reapedChildrenCpuSeconds();
    const pid_t groups = startProgram({groupsProgram, "--seconds", "2", "-j", "1", "--run-nodes",
                                       "1000000000000000", "--no-trial"},
                                      dir.path, "out.txt", "err.txt");
    ASSERT_TRUE(
        eventually([&] { return childrenNamed(groups, "tessaly-groups").size() == 1; }, 60));
    // Stopped, the program and its run use no CPU time while the wall clock passes the bound
    // (the wait only lets a wall-clock bound expire; the harvest's end does not depend on it).
    kill(groups, SIGSTOP);
    for (const pid_t run : childrenNamed(groups, "tessaly-groups"))
        kill(run, SIGSTOP);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    for (const pid_t run : childrenNamed(groups, "tessaly-groups"))
        kill(run, SIGCONT);
    kill(groups, SIGCONT);
    EXPECT_EQ(waitForExit(groups, 120), 0) << readFile(dir.file("err.txt"));
    EXPECT_GE(reapedChildrenCpuSeconds() - before, 2.0);
    endLeftovers(dir.path);
}

TEST(GroupsProgram, AGroupsFileThatCannotBeWrittenIsRefusedBeforeTheHarvest) {
    for (const char* kind : {"a directory", "a symbolic link"}) {
        TempDir dir;
        std::filesystem::copy_file(deepPuzzle, dir.file("k7pieces.txt"));
        if (kind == std::string("a directory")) {
            std::filesystem::create_directory(dir.file("k7groups.txt"));
        } else {
            writeFile(dir.file("shared.txt"), "off\n");
            std::filesystem::create_symlink("shared.txt", dir.file("k7groups.txt"));
        }
        const ProgramResult result = runProgram(
            groupsProgram + " --force --nodes 2000 --run-nodes 1000 --no-trial", dir.path);
        EXPECT_EQ(result.status, 1) << kind;
        EXPECT_EQ(result.err, std::string("tessaly-groups: cannot write k7groups.txt: it is ") +
                                  kind + ", not a regular file\n");
        EXPECT_EQ(result.out, "") << "nothing is harvested";
        EXPECT_FALSE(std::filesystem::is_regular_file(
            std::filesystem::symlink_status(dir.file("k7groups.txt"))));
    }
}
