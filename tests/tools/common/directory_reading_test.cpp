#include "tools/common/directory_reading.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/test_support.h"

namespace fs = std::filesystem;

TEST(DirectoryReading, ReadsTheStatisticsFileOfTheDirectory) {
    TempDir dir;
    writeFile(dir.file("total.txt"), "K7 stats\nnodes=123456\nsecs=78\nbest=ok\ncheck=9\n11=4\n");
    DirectoryStatistics statistics;
    EXPECT_EQ(readDirectoryStatistics(dir.path, statistics), DirectoryReading::read);
    EXPECT_EQ(statistics.name, dir.path);
    EXPECT_EQ(statistics.record.nodes, 123456);
    EXPECT_EQ(statistics.record.secs, 78);
    EXPECT_EQ(statistics.record.check, 9);
    EXPECT_EQ(statistics.record.histogram[11], 4);
    EXPECT_EQ(statistics.record.best, 11);
}

TEST(DirectoryReading, TheBestFollowsTheCountsFinallyRead) {
    TempDir dir;
    // A count given again replaces the first; 3 ends with no boards.
    writeFile(dir.file("total.txt"), "K7 stats\n3=5\n8=1\n3=0\n");
    DirectoryStatistics statistics;
    ASSERT_EQ(readDirectoryStatistics(dir.path, statistics), DirectoryReading::read);
    EXPECT_EQ(statistics.record.histogram[3], 0);
    EXPECT_EQ(statistics.record.best, 8);
}

TEST(DirectoryReading, NamesEachProblemAndLeavesAClearRecord) {
    TempDir dir;
    DirectoryStatistics statistics;
    EXPECT_EQ(readDirectoryStatistics(dir.path, statistics), DirectoryReading::unreadable);
    EXPECT_EQ(readDirectoryStatistics(dir.file("none"), statistics), DirectoryReading::unreadable);
    writeFile(dir.file("total.txt"), "K6 stats\nnodes=99\n");
    EXPECT_EQ(readDirectoryStatistics(dir.path, statistics), DirectoryReading::notStatistics);
    EXPECT_EQ(statistics.record.nodes, 0);
    EXPECT_EQ(statistics.record.best, mismatchSlots);
    writeFile(dir.file("total.txt"), "");
    EXPECT_EQ(readDirectoryStatistics(dir.path, statistics), DirectoryReading::notStatistics);
    EXPECT_STREQ(readingProblem(DirectoryReading::unreadable),
                 "cannot be read (missing or unreadable)");
    EXPECT_STREQ(readingProblem(DirectoryReading::notStatistics),
                 "is not a statistics file (messed with)");
}

TEST(DirectoryReading, APipeOrDirectoryNamedTotalIsNotOpened) {
    TempDir dir;
    fs::create_directory(dir.file("a"));
    fs::create_directory(dir.file("a/total.txt"));
    fs::create_directory(dir.file("b"));
    // Opening a pipe without a writer would wait for ever.
    ASSERT_EQ(mkfifo(dir.file("b/total.txt").c_str(), 0600), 0);
    DirectoryStatistics statistics;
    EXPECT_EQ(readDirectoryStatistics(dir.file("a"), statistics), DirectoryReading::notRegular);
    EXPECT_EQ(readDirectoryStatistics(dir.file("b"), statistics), DirectoryReading::notRegular);
}

TEST(DirectoryReading, EveryNameOfOneDirectoryHasTheSameKey) {
    TempDir dir;
    fs::create_directories(dir.file("farm/1"));
    fs::create_directories(dir.file("farm/2"));
    fs::create_directory_symlink(dir.file("farm/1"), dir.file("link"));
    const std::string key = directoryKey(dir.file("farm/1"));
    EXPECT_EQ(directoryKey(dir.file("farm/1/")), key);
    EXPECT_EQ(directoryKey(dir.file("farm/./1")), key);
    EXPECT_EQ(directoryKey(dir.file("farm/2/../1")), key);
    EXPECT_EQ(directoryKey(dir.file("link")), key);
    EXPECT_NE(directoryKey(dir.file("farm/2")), key);
    EXPECT_NE(directoryKey(dir.file("farm")), key);
    {
        CurrentTempDir here;
        fs::create_directory("d");
        EXPECT_EQ(directoryKey("d"), directoryKey("./d/"));
        EXPECT_EQ(directoryKey("d"), directoryKey(here.file("d")));
        // A directory that does not exist still has a key, and one only of its own.
        EXPECT_EQ(directoryKey("gone/x/"), directoryKey("gone/y/../x"));
        EXPECT_NE(directoryKey("gone/x"), directoryKey("gone/y"));
    }
}

TEST(DirectoryReading, PathsJoinWithOneSlash) {
    EXPECT_EQ(pathIn("farm/1", "total.txt"), "farm/1/total.txt");
    EXPECT_EQ(pathIn("farm/1/", "total.txt"), "farm/1/total.txt");
    EXPECT_EQ(pathIn("/", "468.tsr"), "/468.tsr");
}
