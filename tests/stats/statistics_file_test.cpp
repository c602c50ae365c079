#include "stats/statistics_file.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "results/results_state.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "base/clocks.h"
#include "results/full_boards.h"
#include "results/statistics_records.h"
#include "run/resets.h"
#include "run/run_loop.h"
#include "run/startup.h"
#include "search/search_state.h"
#include "tests/test_support.h"

namespace {

// A fresh current directory, clear records and nothing pending, the program started now.
class StatisticsFile : public testing::Test {
protected:
    void SetUp() override {
        resetProgram();
        program.settings.programStartMs = monotonicMs();
    }
    std::string readWith(const std::string& text) {
        writeFile(dir.file("total.txt"), text);
        ConsoleCapture console;
        readStatistics();
        return console.err();
    }
    std::string written() {
        saveStatistics();
        return readFile(dir.file("total.txt"));
    }
    CurrentTempDir dir;
};

}  // namespace

TEST_F(StatisticsFile, HistogramLinesGiveTheBestAndAreWrittenBack) {
    EXPECT_EQ(readWith("K7 stats\n13=2\n15=7\n"), "");
    EXPECT_EQ(results.statistics.grandTotal.best, 13);
    EXPECT_EQ(results.statistics.grandTotal.nodes, 0);
    EXPECT_EQ(results.statistics.grandTotal.secs, 0);
    statisticsFile.secsAtProgramStart = results.statistics.grandTotal.secs;
    const std::string text = written();
    EXPECT_EQ(text.substr(0, text.find("secs=")), "K7 stats\nnodes=0\n");
    EXPECT_NE(text.find("\nbest=hmmmmm!\ncheck=0\n13=2\n15=7\n"), std::string::npos) << text;
    EXPECT_EQ(readFile(dir.file("total.bak")), text);
}

TEST_F(StatisticsFile, KeysAreReadInAnyOrderAndTheBestLineIsIgnored) {
    readWith(
        "K7 stats extra\nbest=2M$!!!!?\ncheck=45\nsecs=  90061\nnodes=-5\nnodes=123456789012\n"
        "12=0\n3=x\n25=9\n7=4\nsecs=oops\nnonsense\n2=3\n2=0\n5=-3\n");
    EXPECT_EQ(results.statistics.grandTotal.nodes, 123456789012);
    EXPECT_EQ(results.statistics.grandTotal.secs, 90061);
    EXPECT_EQ(results.statistics.grandTotal.check, 45);
    EXPECT_EQ(results.statistics.grandTotal.best,
              7);  // the count of 2 given again as 0 replaced the first
    EXPECT_EQ(results.statistics.grandTotal.histogram[12], 0);
    EXPECT_EQ(results.statistics.grandTotal.histogram[3], 0);
    EXPECT_EQ(results.statistics.grandTotal.histogram[5], 0) << "a count below 0 is ignored";
    const std::string text = written();
    EXPECT_EQ(text.find("12="), std::string::npos);
    EXPECT_EQ(text.find("25="), std::string::npos);
    EXPECT_NE(text.find("\n7=4\n"), std::string::npos);
}

TEST_F(StatisticsFile, RunsAreCountedByDeepestDepthAndTheirLinesReadBack) {
    readWith(
        "K7 stats\ndeepest248=5\ndeepest0=1\ndeepest255=9\ndeepest-1=2\ndeepest7=-3\n"
        "deepestx=4\ndeepest250=x\n");
    EXPECT_EQ(results.statistics.grandTotal.runsByDeepest[248], 5);
    EXPECT_EQ(results.statistics.grandTotal.runsByDeepest[0], 1);
    EXPECT_EQ(results.statistics.grandTotal.runsByDeepest[7], 0);
    EXPECT_EQ(deepestRunDepth(results.statistics.grandTotal), 248);
    runStatistics.endedRunDepth = 251;  // a run just ended there
    const std::string text = written();
    EXPECT_NE(text.find("\ndeepest0=1\ndeepest248=5\ndeepest251=1\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("deepest7"), std::string::npos);
    EXPECT_EQ(results.statistics.sinceStart.runsByDeepest[251], 1);
    EXPECT_EQ(written(), text) << "a run is counted once";
}

TEST_F(StatisticsFile, MissingOrForeignFilesStartFromZero) {
    {
        results.statistics.grandTotal.nodes = 9;
        ConsoleCapture console;
        readStatistics();
        EXPECT_EQ(console.err(), "could not open total.txt\n");
        EXPECT_EQ(results.statistics.grandTotal.nodes, 0);
        EXPECT_EQ(results.statistics.grandTotal.best, 20);
    }
    // A directory named total.txt is no statistics file either, and reads as a missing one.
    std::filesystem::create_directory(dir.file("total.txt"));
    {
        ConsoleCapture console;
        readStatistics();
        EXPECT_EQ(console.err(), "could not open total.txt\n");
    }
    std::filesystem::remove(dir.file("total.txt"));
    // Counts of nodes and seconds that are negative were put there by hand.
    const std::string huge = "K7 stats\nnodes=5\n" + std::string(2 << 20, '#');
    for (const std::string text : {" K7 stats\nnodes=5\n", "", "stats\n", "K7 stats\nnodes=-1\n",
                                   "K7 stats\nnodes=5\nsecs=-86400\n", huge.c_str()}) {
        EXPECT_EQ(readWith(text), "total.txt has been messed with, cannot read total scores\n");
        EXPECT_EQ(results.statistics.grandTotal.nodes, 0);
    }
}

TEST_F(StatisticsFile, SavesFoldInThePendingNodesAndBoardsOnce) {
    search.nodeCount = 5'000;
    runStatistics.fullBoardTally[14] = 3;
    saveStatistics();
    EXPECT_EQ(results.statistics.grandTotal.nodes, 5'000);
    EXPECT_EQ(results.statistics.sinceStart.histogram[14], 3);
    EXPECT_EQ(results.statistics.grandTotal.best, 14);
    EXPECT_EQ(runStatistics.savedNodes, 5'000);
    EXPECT_EQ(runStatistics.fullBoardTally[14], 0);
    updateStatistics();  // right after a save nothing is pending
    EXPECT_EQ(results.statistics.grandTotal.nodes, 5'000);
    EXPECT_EQ(results.statistics.grandTotal.histogram[14], 3);
    EXPECT_EQ(runStatistics.savedNodes,
              0);              // that was the end of a run: save, then update once more
    search.nodeCount = 2'000;  // the next run starts counting from zero
    saveStatistics();
    updateStatistics();
    EXPECT_EQ(results.statistics.grandTotal.nodes, 7'000);
}

TEST_F(StatisticsFile, TwoSavesInOneSecondWriteTheSameTime) {
    statisticsFile.secsAtProgramStart = 100;
    program.settings.programStartMs = 1'000'000;
    program.stoppedClockMs = 1'030'000;
    const std::string first = written();
    program.stoppedClockMs = 1'030'999;
    EXPECT_EQ(written(), first);
    EXPECT_NE(first.find("secs=130\n"), std::string::npos) << first;
    program.stoppedClockMs = 1'031'000;
    EXPECT_NE(written().find("secs=131\n"), std::string::npos) << "the next second";
    program.stoppedClockMs.reset();
}

TEST_F(StatisticsFile, AFileThatCannotBeReplacedKeepsItsOldContentAndIsNamed) {
    for (const std::string name : {"total.txt", "total.bak"}) {
        const std::string other = name == "total.txt" ? "total.bak" : "total.txt";
        writeFile(dir.file(name), "K7 stats\nnodes=1\n");
        // A directory in the place of the temporary file makes the new content unwritable.
        const std::string blocker = dir.file(name + ".tmp" + std::to_string(getpid()));
        std::filesystem::create_directory(blocker);
        ConsoleCapture console;
        saveStatistics();
        saveStatistics();  // still failing: said once
        EXPECT_TRUE(statisticsFile.saveFailed);
        EXPECT_EQ(readFile(dir.file(name)), "K7 stats\nnodes=1\n");
        EXPECT_NE(readFile(dir.file(other)).find("nodes=0"), std::string::npos);
        std::filesystem::remove(blocker);
        std::filesystem::remove(dir.file(other));
        saveStatistics();
        saveStatistics();
        EXPECT_FALSE(statisticsFile.saveFailed);
        EXPECT_EQ(console.err(), "could not write to " + name +
                                     " (Is a directory); it is tried again at every save\n"
                                     "the statistics are saved again in total.txt and total.bak\n");
    }
}

TEST_F(StatisticsFile, TotalsAtThe64BitLimitStayThereWhenASaveAddsToThem) {
    // Past the limit is clamped when read; the save's additions saturate, never overflow.
    readWith(
        "K7 stats\nnodes=99999999999999999999\nsecs=9223372036854775807\n"
        "3=9223372036854775807\n");
    statisticsFile.secsAtProgramStart = results.statistics.grandTotal.secs;
    program.settings.programStartMs = monotonicMs() - 5'000;
    search.nodeCount = 1'000;
    runStatistics.fullBoardTally[3] = 2;
    const std::string text = written();
    EXPECT_EQ(text.substr(0, text.find("best=")),
              "K7 stats\nnodes=9223372036854775807\nsecs=9223372036854775807\n");
    EXPECT_NE(text.find("\n3=9223372036854775807\n"), std::string::npos) << text;
    EXPECT_FALSE(statisticsFile.saveFailed);
}

namespace {

// The names in the current directory that begin with `prefix`.
std::vector<std::string> namesBeginningWith(const std::string& prefix) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

}  // namespace

TEST_F(StatisticsFile, AFileThatCannotBeReadIsMovedAsideWholeBeforeTheFirstSave) {
    struct Case {
        const char* kind;
        bool link;  // total.txt is a link to nowhere, else a file with a byte-order mark
    };
    const std::string where = program.settings.workingDirectory;
    for (const Case& c : {Case{"messed-with", false}, Case{"unreadable", true}}) {
        const std::string original = "\xEF\xBB\xBFK7 stats\nnodes=123000000000000\n";
        if (c.link) {
            ASSERT_EQ(symlink("nowhere", "total.txt"), 0);
        } else {
            writeFile(dir.file("total.txt"), original);
        }
        writeFile(dir.file("total.bak"), "K7 stats\nnodes=123000000000000\n");
        ConsoleCapture console;
        readStatistics();
        EXPECT_TRUE(namesBeginningWith("total.txt.").empty()) << "moved only by a save";
        resetRun();  // a run after the start that read the file
        search.nodeCount = 5;
        saveStatistics();
        EXPECT_FALSE(statisticsFile.saveFailed);
        const std::vector<std::string> kept =
            namesBeginningWith(std::string("total.txt.") + c.kind);
        ASSERT_EQ(kept.size(), 1u) << c.kind;
        EXPECT_EQ(c.link ? std::filesystem::read_symlink(dir.file(kept[0])).string()
                         : readFile(dir.file(kept[0])),
                  c.link ? "nowhere" : original);
        const std::vector<std::string> backup = namesBeginningWith("total.bak.kept-");
        ASSERT_EQ(backup.size(), 1u);
        EXPECT_EQ(readFile(dir.file(backup[0])), "K7 stats\nnodes=123000000000000\n");
        EXPECT_NE(
            console.err().find("total.txt could not be read; it is kept as " + where + "/" +
                               kept[0] + ", and total.bak as " + where + "/" + backup[0] + "\n"),
            std::string::npos)
            << console.err();
        EXPECT_NE(readFile(dir.file("total.txt")).find("\nnodes=5\n"), std::string::npos);
        for (const std::string& name : {kept[0], backup[0]})
            std::filesystem::remove(dir.file(name));
        std::filesystem::remove(dir.file("total.txt"));
        std::filesystem::remove(dir.file("total.bak"));
    }
}

// total.txt is gone and only its copy is left, perhaps the only record of a long search: the
// first save sets the copy aside before it writes a new one, and says where it went.
TEST_F(StatisticsFile, AMissingFileHasItsBackupSetAsideBeforeTheFirstSave) {
    writeFile(dir.file("total.bak"), "K7 stats\nnodes=1000000000000\n5=1\n");
    ConsoleCapture console;
    readStatistics();
    search.nodeCount = 5;
    saveStatistics();
    EXPECT_FALSE(statisticsFile.saveFailed);
    const std::vector<std::string> backup = namesBeginningWith("total.bak.kept-");
    ASSERT_EQ(backup.size(), 1u);
    EXPECT_EQ(readFile(dir.file(backup[0])), "K7 stats\nnodes=1000000000000\n5=1\n");
    EXPECT_EQ(console.err(),
              "could not open total.txt\ntotal.txt is missing; total.bak is kept as " +
                  std::string(program.settings.workingDirectory) + "/" + backup[0] + "\n");
    EXPECT_NE(readFile(dir.file("total.bak")).find("\nnodes=5\n"), std::string::npos);
    EXPECT_NE(readFile(dir.file("total.txt")).find("\nnodes=5\n"), std::string::npos);
}

TEST_F(StatisticsFile, AFileThatCannotBeMovedAsideIsNeverSavedOver) {
    readWith("stats of another program\n");
    // Every name it could be moved to, in this second and the next, is taken.
    for (const std::time_t second : {std::time(nullptr), std::time(nullptr) + 1}) {
        char stamp[32];
        std::tm parts{};
        localtime_r(&second, &parts);
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &parts);
        for (int copy = 1; copy < 10; ++copy)
            writeFile(dir.file(std::string("total.txt.messed-with-") + stamp +
                               (copy > 1 ? "-" + std::to_string(copy) : "")),
                      "");
    }
    ConsoleCapture console;
    saveStatistics();
    saveStatistics();
    EXPECT_TRUE(statisticsFile.saveFailed);
    EXPECT_EQ(readFile(dir.file("total.txt")), "stats of another program\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("total.bak")));
    EXPECT_EQ(console.err(),
              "total.txt could not be read and cannot be moved aside (File exists); the "
              "statistics are not saved over it\ncould not write to total.txt (it is in the "
              "way); it is tried again at every save\n");
}
