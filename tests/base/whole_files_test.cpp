// Writing whole files: never in place, never through a link, never half.
#include "base/whole_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "tests/test_support.h"

TEST(WholeFiles, ALinkPlantedAtTheTemporaryNameLeavesItsTargetUntouched) {
    TempDir dir;
    const std::string path = dir.file("total.txt");
    writeFile(dir.file("target"), "precious\n");
    ASSERT_EQ(
        symlink(dir.file("target").c_str(), (path + ".tmp" + std::to_string(getpid())).c_str()), 0);
    EXPECT_EQ(writeWholeFile(path.c_str(), "new\n", Existing::replace, true), 0);
    EXPECT_EQ(readFile(path), "new\n");
    EXPECT_EQ(readFile(dir.file("target")), "precious\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp" + std::to_string(getpid())));
}

TEST(WholeFiles, KeepNeverReplacesAndAFailureLeavesNoFileBehind) {
    TempDir dir;
    const std::string path = dir.file("480.tsr");
    EXPECT_EQ(writeWholeFile(path.c_str(), "first\n", Existing::keep, false), 0);
    EXPECT_EQ(writeWholeFile(path.c_str(), "second\n", Existing::keep, false), EEXIST);
    EXPECT_EQ(readFile(path), "first\n");
    EXPECT_NE(writeWholeFile(dir.file("missing/463.tsr").c_str(), "x", Existing::replace, false),
              0);
    // A link at the name itself is replaced by the file, not written through.
    writeFile(dir.file("target"), "precious\n");
    ASSERT_EQ(symlink(dir.file("target").c_str(), dir.file("463.tsr").c_str()), 0);
    EXPECT_EQ(writeWholeFile(dir.file("463.tsr").c_str(), "board\n", Existing::replace, false), 0);
    EXPECT_EQ(readFile(dir.file("target")), "precious\n");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path))
        ++files;
    EXPECT_EQ(files, 3u);  // 480.tsr, 463.tsr, target
}
