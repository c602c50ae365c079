// Reading the files the programs are given: a regular file only, never a wait, never more than
// the bound.
#include "base/file_reading.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>

#include "tests/test_support.h"

namespace {

struct ReadingCase {
    const char* name;
    std::string problem;  // what readingProblem says, or empty when the file is read
};

void PrintTo(const ReadingCase& c, std::ostream* os) {
    *os << c.name;
}

class FileReadingCases : public testing::TestWithParam<ReadingCase> {
protected:
    // Puts under `name` what the case names: a FIFO, a directory, a link or a large file.
    static void plant(const std::string& name, const TempDir& dir) {
        const std::string path = dir.file(name);
        writeFile(dir.file("regular"), "12345");
        int made = 0;
        if (name == "Fifo") made = mkfifo(path.c_str(), 0644);
        if (name == "Directory") made = mkdir(path.c_str(), 0755);
        if (name == "LinkToARegularFile") made = symlink(dir.file("regular").c_str(), path.c_str());
        if (name == "LinkToAFifo")
            made = mkfifo(dir.file("fifo").c_str(), 0644) |
                   symlink(dir.file("fifo").c_str(), path.c_str());
        if (name == "PastTheLimit") writeFile(path, "123456");
        if (name == "AtTheLimit") writeFile(path, "12345");
        ASSERT_EQ(made, 0) << name;
    }
};

}  // namespace

TEST_P(FileReadingCases, ReadsARegularFileWithinTheLimitAndSaysWhyElse) {
    TempDir dir;
    plant(GetParam().name, dir);
    std::string text = "left over";
    const FileReading reading = readRegularFile(dir.file(GetParam().name).c_str(), 5, text);
    EXPECT_EQ(readingProblem(reading), GetParam().problem);
    EXPECT_EQ(text, GetParam().problem.empty() ? "12345" : "");
    // The stream opener agrees, and never leaves a descriptor open on a refusal.
    FileReading opening;
    std::FILE* file = openRegularFile(dir.file(GetParam().name).c_str(), opening);
    EXPECT_EQ(file != nullptr,
              reading.fault == FileReading::none || reading.fault == FileReading::tooLarge);
    if (file != nullptr) std::fclose(file);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileReadingCases,
    testing::Values(ReadingCase{"AtTheLimit", ""}, ReadingCase{"LinkToARegularFile", ""},
                    ReadingCase{"Missing", "does not exist"},
                    ReadingCase{"Fifo", "is a FIFO, not a regular file"},
                    ReadingCase{"LinkToAFifo", "is a FIFO, not a regular file"},
                    ReadingCase{"Directory", "is a directory, not a regular file"},
                    ReadingCase{"PastTheLimit", "is larger than 5 bytes"}),
    [](const testing::TestParamInfo<ReadingCase>& info) { return std::string(info.param.name); });

TEST(FileReading, NamesEveryFileType) {
    EXPECT_STREQ(fileTypeName(S_IFCHR), "a character device");
    EXPECT_STREQ(fileTypeName(S_IFBLK), "a block device");
    EXPECT_STREQ(fileTypeName(S_IFSOCK), "a socket");
    EXPECT_STREQ(fileTypeName(S_IFLNK), "a symbolic link");
}

TEST(FileReading, APassingFaultIsTriedAgainUntilDoneAndAtMostFiveTimes) {
    int calls = 0;
    retryPassingFaults([&calls] { return ++calls == 2; });
    EXPECT_EQ(calls, 2);
    calls = 0;
    retryPassingFaults([&calls] { return ++calls > passingFaultAttempts; });
    EXPECT_EQ(calls, passingFaultAttempts);
}
