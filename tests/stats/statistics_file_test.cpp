#include "stats/statistics_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "results/full_boards.h"
#include "run/clocks.h"
#include "run/run_loop.h"
#include "run/startup.h"
#include "search/search_state.h"
#include "stats/statistics_records.h"
#include "test_support.h"

namespace {

// A fresh current directory, clear records and nothing pending.
class StatisticsFile : public testing::Test {
protected:
    void SetUp() override {
        clearRecord(grandTotal);
        clearRecord(sinceStart);
        checkValue = 0;
        fullBoardTally.fill(0);
        nodeCount = 0;
        savedNodes = 0;
        secsAtProgramStart = 0;
        programStartTime = wallClockSeconds();
        writeFiles = true;
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
    EXPECT_EQ(grandTotal.best, 13);
    EXPECT_EQ(grandTotal.nodes, 0);
    EXPECT_EQ(grandTotal.secs, 0);
    secsAtProgramStart = grandTotal.secs;
    const std::string text = written();
    EXPECT_EQ(text.substr(0, text.find("secs=")), "K7 stats\nnodes=0\n");
    EXPECT_NE(text.find("\nbest=hmmmmm!\ncheck=0\n13=2\n15=7\n"), std::string::npos) << text;
    EXPECT_EQ(readFile(dir.file("total.bak")), text);
}

TEST_F(StatisticsFile, KeysAreReadInAnyOrderAndTheBestLineIsIgnored) {
    readWith(
        "K7 stats extra\nbest=2M$!!!!?\ncheck=45\nsecs=  90061\nnodes=-5\nnodes=123456789012\n"
        "12=0\n3=x\n25=9\n7=4\nsecs=oops\nnonsense\n2=3\n2=0\n");
    EXPECT_EQ(grandTotal.nodes, 123456789012);
    EXPECT_EQ(grandTotal.secs, 90061);
    EXPECT_EQ(checkValue, 45);
    EXPECT_EQ(grandTotal.best, 7);  // the count of 2 given again as 0 replaced the first
    EXPECT_EQ(grandTotal.histogram[12], 0);
    EXPECT_EQ(grandTotal.histogram[3], 0);
    const std::string text = written();
    EXPECT_EQ(text.find("12="), std::string::npos);
    EXPECT_EQ(text.find("25="), std::string::npos);
    EXPECT_NE(text.find("\n7=4\n"), std::string::npos);
}

TEST_F(StatisticsFile, MissingOrForeignFilesStartFromZero) {
    {
        grandTotal.nodes = 9;
        ConsoleCapture console;
        readStatistics();
        EXPECT_EQ(console.err(), "could not open total.txt\n");
        EXPECT_EQ(grandTotal.nodes, 0);
        EXPECT_EQ(grandTotal.best, 20);
    }
    // A directory named total.txt is no statistics file either, and reads as a missing one.
    std::filesystem::create_directory(dir.file("total.txt"));
    {
        ConsoleCapture console;
        readStatistics();
        EXPECT_EQ(console.err(), "could not open total.txt\n");
    }
    std::filesystem::remove(dir.file("total.txt"));
    for (const char* text : {" K7 stats\nnodes=5\n", "", "stats\n"}) {
        EXPECT_EQ(readWith(text), "total.txt has been messed with, cannot read total scores\n");
        EXPECT_EQ(grandTotal.nodes, 0);
    }
}

TEST_F(StatisticsFile, SavesFoldInThePendingNodesAndBoardsOnce) {
    nodeCount = 5'000;
    fullBoardTally[14] = 3;
    saveStatistics();
    EXPECT_EQ(grandTotal.nodes, 5'000);
    EXPECT_EQ(sinceStart.histogram[14], 3);
    EXPECT_EQ(grandTotal.best, 14);
    EXPECT_EQ(savedNodes, 5'000);
    EXPECT_EQ(fullBoardTally[14], 0);
    updateStatistics();  // right after a save nothing is pending
    EXPECT_EQ(grandTotal.nodes, 5'000);
    EXPECT_EQ(grandTotal.histogram[14], 3);
    EXPECT_EQ(savedNodes, 0);  // that was the end of a run: save, then update once more
    nodeCount = 2'000;         // the next run starts counting from zero
    saveStatistics();
    updateStatistics();
    EXPECT_EQ(grandTotal.nodes, 7'000);
}

TEST_F(StatisticsFile, TwoSavesInOneSecondWriteTheSameTime) {
    secsAtProgramStart = 100;
    std::string first;
    std::string second;
    // Tried again if the wall clock moves on to the next second between the two saves (a save
    // that syncs to the disk can take a while on a busy machine).
    for (std::int64_t start = 0; start != wallClockSeconds();) {
        start = wallClockSeconds();
        programStartTime = start - 30;
        first = written();
        second = written();
    }
    EXPECT_EQ(first, second);
    EXPECT_NE(first.find("secs=130\n"), std::string::npos) << first;
}

TEST_F(StatisticsFile, AFileThatCannotBeReplacedKeepsItsOldContent) {
    writeFile(dir.file("total.txt"), "K7 stats\nnodes=1\n");
    // A directory in the place of the temporary file makes the new content unwritable.
    std::filesystem::create_directory(dir.file("total.txt.tmp"));
    ConsoleCapture console;
    saveStatistics();
    EXPECT_EQ(console.err(), "could not write to total.txt\n");
    EXPECT_TRUE(statisticsSaveFailed);
    EXPECT_EQ(readFile(dir.file("total.txt")), "K7 stats\nnodes=1\n");
    EXPECT_NE(readFile(dir.file("total.bak")).find("nodes=0"), std::string::npos);
}

TEST_F(StatisticsFile, TotalsAtThe64BitLimitStayThereWhenASaveAddsToThem) {
    // Past the limit is clamped when read; the save's additions saturate, never overflow.
    readWith(
        "K7 stats\nnodes=99999999999999999999\nsecs=9223372036854775807\n"
        "3=9223372036854775807\n");
    secsAtProgramStart = grandTotal.secs;
    programStartTime = wallClockSeconds() - 5;
    nodeCount = 1'000;
    fullBoardTally[3] = 2;
    const std::string text = written();
    EXPECT_EQ(text.substr(0, text.find("best=")),
              "K7 stats\nnodes=9223372036854775807\nsecs=9223372036854775807\n");
    EXPECT_NE(text.find("\n3=9223372036854775807\n"), std::string::npos) << text;
    EXPECT_FALSE(statisticsSaveFailed);
}
