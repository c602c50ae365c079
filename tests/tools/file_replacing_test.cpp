// Replacing a file that others read: a new file renamed over the old one.
#include "stats/file_replacing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "test_support.h"

TEST(FileReplacing, ANewFileTakesTheNameAndAReaderOfTheOldOneKeepsItWhole) {
    TempDir dir;
    const std::string path = dir.file("page.html");
    EXPECT_EQ(replaceFile(path, "old page\n"), "");
    // A second name for the old file stands for a reader that opened it before the change:
    // the content is not rewritten in place, so that reader still sees all of the old page.
    ASSERT_EQ(link(path.c_str(), dir.file("opened.html").c_str()), 0);
    EXPECT_EQ(replaceFile(path, "new page\n"), "");
    EXPECT_EQ(readFile(path), "new page\n");
    EXPECT_EQ(readFile(dir.file("opened.html")), "old page\n");

    // A file that cannot be written leaves the old one and no temporary file behind.
    std::filesystem::create_directory(dir.file("taken"));
    EXPECT_NE(replaceFile(dir.file("taken"), "page\n"), "");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("taken")));
    EXPECT_NE(replaceFile(dir.file("missing/page.html"), "page\n"), "");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path))
        ++files;
    EXPECT_EQ(files, 3u);  // page.html, opened.html, taken
}
