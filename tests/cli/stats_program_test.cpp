// tessaly-stats on crafted statistics files, and on the directories of running solvers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/time_texts.h"
#include "results/statistics_records.h"
#include "stats/statistics_report.h"
#include "tests/test_support.h"
#include "tests/tools/common/statistics_table_reader.h"

namespace {

namespace fs = std::filesystem;

// What a crafted total.txt holds.
struct Crafted {
    long long nodes;
    long long secs;
    std::vector<std::pair<int, long long>> boards;  // mismatch count, boards
};

std::string statisticsText(const Crafted& crafted) {
    std::string text = "K7 stats\nnodes=";
    text += std::to_string(crafted.nodes);
    text += "\nsecs=";
    text += std::to_string(crafted.secs);
    text += "\nbest=ok\ncheck=0\n";
    for (const auto& [mismatches, count] : crafted.boards) {
        text += std::to_string(mismatches);
        text += '=';
        text += std::to_string(count);
        text += '\n';
    }
    return text;
}

// The texts one after the other.
std::string joinedText(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text += part;
    return text;
}

// The nodes= value of a statistics file text.
long long nodesOf(const std::string& text) {
    for (const std::string& line : linesOf(text))
        if (line.rfind("nodes=", 0) == 0) return std::stoll(line.substr(6));
    return -1;
}

// The lines of the record board list: those after its heading, up to the blank line after it.
std::vector<std::string> recordBoardLines(const std::string& out) {
    const std::vector<std::string> lines = linesOf(out);
    const auto heading = std::find(lines.begin(), lines.end(), "Record boards, best first:");
    if (heading == lines.end()) return {};
    return {heading + 1, std::find(heading, lines.end(), "")};
}

class StatsProgram : public testing::Test {
protected:
    // Makes farm/NAME with a total.txt of `crafted`.
    void craft(const std::string& name, const Crafted& crafted) {
        fs::create_directories(dir.file(joinedText({"farm/", name})));
        writeFile(dir.file(joinedText({"farm/", name, "/total.txt"})), statisticsText(crafted));
    }
    TempDir dir;
};

}  // namespace

TEST_F(StatsProgram, AddsNodesSecondsAndBoardsOfEveryDirectory) {
    const std::vector<Crafted> farm{{123'456'789'012, 90'061, {{5, 2}, {17, 40}}},
                                    {987'654'321, 3'599, {{9, 1}}},
                                    {55'000'000'000, 86'400, {}},
                                    {42, 1, {{17, 3}, {12, 7}}}};
    std::string arguments = "--exact";
    for (std::size_t i = 0; i < farm.size(); ++i) {
        craft(std::to_string(i + 1), farm[i]);
        arguments += joinedText({" farm/", std::to_string(i + 1)});
    }
    const ProgramResult result = runStats(arguments, dir.path);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::vector<ReadTable> tables = readTables(result.out);
    ASSERT_EQ(tables.size(), 3u) << result.out;
    EXPECT_EQ(tables[0].heads, (std::vector<std::string>{"farm/1", "farm/2", "farm/3"}));
    EXPECT_EQ(tables[1].heads[0], "farm/4");
    const ReadTable& totals = tables[2];
    EXPECT_EQ(totals.heads[0], "All 4");

    long long nodes = 0;
    long long secs = 0;
    long long together = 0;
    std::array<long long, mismatchSlots> boards{};
    for (std::size_t i = 0; i < farm.size(); ++i) {
        nodes += farm[i].nodes;
        secs += farm[i].secs;
        together += farm[i].nodes / farm[i].secs;
        for (const auto& [mismatches, count] : farm[i].boards)
            boards[mismatches] += count;
        EXPECT_EQ(tables[i / 3].rows.at("Nodes")[i % 3], std::to_string(farm[i].nodes));
        EXPECT_EQ(tables[i / 3].rows.at("Time")[i % 3], durationText(farm[i].secs));
    }
    EXPECT_EQ(totals.rows.at("Nodes")[0], std::to_string(nodes));
    EXPECT_EQ(totals.rows.at("Time")[0], durationText(secs));
    EXPECT_EQ(totals.rows.at("Nodes/sec")[0], std::to_string(nodes / secs / 1000) + " K");
    EXPECT_EQ(totals.rows.at("Side by side")[0], std::to_string(together / 1000) + " K");
    const int best = 5;  // the lowest mismatch count crafted above
    EXPECT_EQ(totals.rows.at("Best")[0], std::to_string(480 - best));
    EXPECT_EQ(totals.rows.at("Grade")[0], gradeText[best]);
    for (int i = 0; i < mismatchSlots; ++i) {
        const std::string label = std::to_string(480 - i);
        EXPECT_EQ(totals.rows.count(label), boards[i] > 0 ? 1u : 0u) << label;
        if (boards[i] > 0) {
            EXPECT_EQ(totals.rows.at(label)[0], std::to_string(boards[i]));
        }
    }

    // Without --exact the nodes are counted in billions, as the solver's report does.
    const ProgramResult billions = runStats("farm/1 farm/2 farm/3 farm/4", dir.path);
    const std::vector<ReadTable> inBillions = readTables(billions.out);
    ASSERT_EQ(inBillions.size(), 3u);
    EXPECT_EQ(inBillions[2].rows.at("Nodes")[0], std::to_string(nodes / 1'000'000'000) + " G");
}

TEST_F(StatsProgram, AMissingFileIsNamedAndSkippedAndTheOthersStillAddUp) {
    craft("1", {1'000, 10, {{8, 1}}});
    fs::create_directories(dir.file("farm/2"));
    craft("3", {3'000, 30, {{6, 2}}});
    const ProgramResult result = runStats("--exact farm/1 farm/2 farm/3 farm/4", dir.path);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              "tessaly-stats: farm/2/total.txt: cannot be read (missing or unreadable); skipped\n"
              "tessaly-stats: farm/4/total.txt: cannot be read (missing or unreadable); skipped\n");
    const std::vector<ReadTable> tables = readTables(result.out);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0].heads, (std::vector<std::string>{"farm/1", "farm/3", ""}));
    EXPECT_EQ(tables[1].heads[0], "All 2");
    EXPECT_EQ(tables[1].rows.at("Nodes")[0], std::to_string(1'000 + 3'000));
    EXPECT_EQ(tables[1].rows.at("Best")[0], std::to_string(480 - 6));
}

TEST_F(StatsProgram, AFileMessedWithIsNamedAndSkipped) {
    craft("1", {1'000, 10, {}});
    fs::create_directories(dir.file("farm/2"));
    writeFile(dir.file("farm/2/total.txt"), "nodes=5000\nK7 stats\n");
    const ProgramResult result = runStats("--exact farm/1 farm/2", dir.path);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              "tessaly-stats: farm/2/total.txt: is not a statistics file (messed with); skipped\n");
    const std::vector<ReadTable> tables = readTables(result.out);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[1].heads[0], "All 1");
    EXPECT_EQ(tables[1].rows.at("Nodes")[0], "1000");
}

TEST_F(StatsProgram, NoReadableFileEndsWithStatusOne) {
    fs::create_directories(dir.file("farm/1"));
    writeFile(dir.file("farm/1/total.txt"), "garbage\n");
    const ProgramResult result = runStats("farm/1 farm/2", dir.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("farm/1/total.txt: is not a statistics file"), std::string::npos);
    EXPECT_NE(result.err.find("farm/2/total.txt: cannot be read"), std::string::npos);
}

TEST_F(StatsProgram, UsageErrorsEndWithStatusTwo) {
    craft("1", {1'000, 10, {}});
    for (const char* arguments : {"", "--fast farm/1", "farm/1 -x"}) {
        const ProgramResult result = runStats(arguments, dir.path);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(result.out, "") << arguments;
        EXPECT_NE(result.err.find("usage: tessaly-stats"), std::string::npos) << arguments;
    }
    // After "--" a name that starts with a dash is a directory.
    fs::create_directories(dir.file("-d"));
    writeFile(dir.file("-d/total.txt"), statisticsText({7, 1, {}}));
    EXPECT_EQ(runStats("-- -d", dir.path).status, 0);
}

TEST_F(StatsProgram, ADirectoryGivenTwiceCountsOnce) {
    craft("1", {1'000, 10, {{3, 1}}});
    craft("2", {2'000, 20, {}});
    const ProgramResult result = runStats(
        joinedText({"--exact farm/1 farm/2 farm/1/ ./farm/1 farm/2/../1 ", dir.file("farm/2")}),
        dir.path);
    EXPECT_EQ(result.status, 0);
    const std::vector<ReadTable> tables = readTables(result.out);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[1].heads[0], "All 2");
    EXPECT_EQ(tables[1].rows.at("Nodes")[0], "3000");
    EXPECT_EQ(tables[1].rows.at("477")[0], "1");
    EXPECT_NE(result.err.find("./farm/1: same directory as farm/1; counted once"),
              std::string::npos)
        << result.err;
}

TEST_F(StatsProgram, EveryTableLineIsSixtyThreeCharacters) {
    std::string arguments;
    for (int i = 1; i <= 7; ++i) {
        const std::string name = i == 4 ? "a-rather-long-directory-name" : std::to_string(i);
        craft(name, {1'000'000'000'000LL * i, 3'000 * i, {{i, i}, {17, 1}}});
        arguments += joinedText({" farm/", name});
    }
    for (const std::string& options : {std::string(), std::string("--exact")}) {
        const ProgramResult result = runStats(options + arguments, dir.path);
        EXPECT_EQ(result.status, 0);
        const std::vector<std::string> lines = tableLines(result.out);
        // Three tables of directories and one of totals, each with at least 9 lines.
        EXPECT_GE(lines.size(), 4u * 9u);
        for (const std::string& line : lines)
            EXPECT_EQ(line.size(), 63u) << "[" << line << "]";
        EXPECT_EQ(readTables(result.out).size(), 4u);
        EXPECT_EQ(readTables(result.out)[1].heads[0], "...rectory-name");
    }
}

TEST_F(StatsProgram, ListsTheBestRecordBoardsFirstWithTheirPaths) {
    craft("1", {1'000, 10, {}});
    craft("2", {1'000, 10, {}});
    craft("3", {1'000, 10, {}});
    fs::create_directories(dir.file("farm/4"));  // not read: its boards are not listed
    const std::vector<std::string> boards{"farm/1/463.tsr",   "farm/1/468.tsr", "farm/2/480.tsr",
                                          "farm/2/480-2.tsr", "farm/2/470.tsr", "farm/3/465.tsr",
                                          "farm/3/471.tsr",   "farm/3/480.tsr", "farm/3/480-2.tsr",
                                          "farm/1/466.tsr",   "farm/2/462.tsr", "farm/3/460.tsr"};
    for (const std::string& board : boards)
        writeFile(dir.file(board), "K7 v1.0\n");
    writeFile(dir.file("farm/4/480.tsr"), "K7 v1.0\n");
    writeFile(dir.file("farm/1/notes.tsr"), "");
    const ProgramResult result = runStats("farm/1 farm/2 farm/3 farm/4", dir.path);
    EXPECT_EQ(result.status, 0);
    const std::vector<std::string> lines = recordBoardLines(result.out);
    ASSERT_EQ(lines.size(), 10u) << result.out;
    int previous = 481;
    std::vector<std::string> listed;
    for (const std::string& line : lines) {
        const int score = std::stoi(line);
        EXPECT_LE(score, previous) << line;
        previous = score;
        const std::string path = line.substr(line.find_last_of(' ') + 1);
        EXPECT_TRUE(fs::is_regular_file(dir.file(path))) << path;
        EXPECT_EQ(std::stoi(fs::path(path).filename().string()), score) << line;
        EXPECT_NE(path.rfind("farm/4/", 0), 0u) << line;
        listed.push_back(path);
    }
    // The ten best of the twelve boards: all but the two lowest scores (462 and 460).
    std::vector<std::string> expected(boards);
    std::erase(expected, "farm/2/462.tsr");
    std::erase(expected, "farm/3/460.tsr");
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);

    for (const std::string& board : boards)
        fs::remove(dir.file(board));
    const ProgramResult empty = runStats("farm/1 farm/2", dir.path);
    EXPECT_EQ(empty.status, 0);
    EXPECT_TRUE(recordBoardLines(empty.out).empty());
    EXPECT_NE(empty.out.find("No record boards"), std::string::npos);
}

namespace {

// One reading of the two solver directories by tessaly-stats --exact, checked for a
// consistent sum; the merged node count, or -1 when no statistics file was there yet.
long long checkedReading(const std::string& directory, bool filesExist) {
    const ProgramResult result = runStats("--exact 1 2", directory);
    if (!filesExist && result.status == 1) return -1;
    EXPECT_EQ(result.status, 0) << result.err;
    if (result.status != 0) return -1;
    const std::vector<ReadTable> tables = readTables(result.out);
    EXPECT_EQ(tables.size(), 2u) << result.out;
    if (tables.size() != 2) return -1;
    const ReadTable& totals = tables[1];
    long long sum = 0;
    for (std::size_t c = 0; c < 3 && !tables[0].heads[c].empty(); ++c)
        sum += std::stoll(tables[0].rows.at("Nodes")[c]);
    EXPECT_EQ(std::stoll(totals.rows.at("Nodes")[0]), sum) << result.out;
    if (filesExist) {
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(totals.heads[0], "All 2");
    }
    return std::stoll(totals.rows.at("Nodes")[0]);
}

// Starts the solver in `directory` with `argument` ("-o1": its files in 1/), its output in
// out1.txt and err1.txt there (named by the argument's last character).
pid_t startSolverWith(const std::string& directory, const char* argument) {
    const std::string suffix = joinedText({std::string_view(argument).substr(2), ".txt"});
    const std::string out = joinedText({"out", suffix});
    const std::string err = joinedText({"err", suffix});
    return startProgram({TESSALY_BIN, argument}, directory, out, err);
}

}  // namespace

TEST(StatsProgramLive, ReadsTheDirectoriesOfRunningSolvers) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), quickBoardPieces());
    fs::create_directory(dir.file("1"));
    fs::create_directory(dir.file("2"));

    // Two rounds: the first begins without statistics files, during the second they are
    // there all the time. Each reads them at least four times and on until both solvers have
    // found a full board (in the first round a record; in the second, where the same seeds
    // find the same board, the best since the start), then on while they save at their stop.
    const FixedSeeds seeds(quickBoardSeeds);
    for (const char* board : {"NEW RECORD!!!", "BEST SCORE SINCE START!!!"}) {
        const bool filesExist = fs::exists(dir.file("1/total.txt"));
        const std::vector<pid_t> solvers{startSolverWith(dir.path, "-o1"),
                                         startSolverWith(dir.path, "-o2")};
        int readings = 0;
        const auto searched = [&] {
            return readFile(dir.file("out1.txt")).find(board) != std::string::npos &&
                   readFile(dir.file("out2.txt")).find(board) != std::string::npos;
        };
        EXPECT_TRUE(waitUntil([&] {
            checkedReading(dir.path, filesExist);
            return ++readings >= 4 && searched();
        }));
        // One SIGTERM each: the solver ends its run, saves its statistics and ends with 0.
        for (const pid_t pid : solvers)
            kill(pid, SIGTERM);
        std::vector<int> statuses{-1, -1};
        EXPECT_TRUE(waitUntil([&] {
            checkedReading(dir.path, filesExist);
            for (std::size_t i = 0; i < solvers.size(); ++i)
                if (statuses[i] < 0) statuses[i] = waitForExit(solvers[i], 0);
            return statuses[0] >= 0 && statuses[1] >= 0;
        }));
        for (std::size_t i = 0; i < solvers.size(); ++i)
            if (statuses[i] < 0) stopProgram(solvers[i], SIGKILL);
        EXPECT_EQ(statuses, (std::vector<int>{0, 0}));
        for (const char* out : {"out1.txt", "out2.txt"})
            EXPECT_NE(readFile(dir.file(out)).find("Stopped; the statistics are saved in"),
                      std::string::npos)
                << out;
    }

    // After the solvers stopped: the columns are the files' node counts and the sum is theirs.
    const long long nodes1 = nodesOf(readFile(dir.file("1/total.txt")));
    const long long nodes2 = nodesOf(readFile(dir.file("2/total.txt")));
    EXPECT_GT(nodes1, 0);
    EXPECT_GT(nodes2, 0);
    EXPECT_EQ(checkedReading(dir.path, true), nodes1 + nodes2);
    const ProgramResult result = runStats("--exact 1 2", dir.path);
    const std::vector<ReadTable> tables = readTables(result.out);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0].rows.at("Nodes")[0], std::to_string(nodes1));
    EXPECT_EQ(tables[0].rows.at("Nodes")[1], std::to_string(nodes2));

    // The record boards the solvers saved, best first.
    std::vector<int> saved;
    for (const char* sub : {"1", "2"})
        for (const auto& entry : fs::directory_iterator(dir.file(sub)))
            if (entry.path().extension() == ".tsr")
                saved.push_back(std::stoi(entry.path().filename().string()));
    EXPECT_FALSE(saved.empty());
    std::sort(saved.rbegin(), saved.rend());
    if (saved.size() > 10) saved.resize(10);
    std::vector<int> listed;
    for (const std::string& line : recordBoardLines(result.out))
        listed.push_back(std::stoi(line));
    EXPECT_EQ(listed, saved) << result.out;
}

TEST(StatsProgramLive, DirectoriesVanishingWhileTheyAreReadDoNoHarm) {
    TempDir dir;
    std::atomic<bool> done{false};
    // Makes and removes directories with statistics files and record boards, over and over.
    std::thread churn([&] {
        for (int round = 0; !done; ++round) {
            const std::string name = dir.file(std::to_string(round % 3));
            std::error_code ignored;
            fs::create_directory(name, ignored);
            writeFile(joinedText({name, "/total.txt"}),
                      statisticsText({round, 1, {{round % 18, 1}}}));
            for (int b = 0; b < 20; ++b)
                writeFile(joinedText({name, "/", std::to_string(460 + b), ".tsr"}), "");
            fs::remove_all(name, ignored);
        }
    });
    for (int reading = 0; reading < 30; ++reading) {
        const ProgramResult result = runStats("0 1 2", dir.path);
        EXPECT_TRUE(result.status == 0 || result.status == 1) << result.status << result.err;
    }
    done = true;
    churn.join();
}
