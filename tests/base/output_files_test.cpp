// Writing at a path the user names: a regular file replaced whole, a device or a FIFO written
// in place, anything else (and an input) refused and left as it was. The cases each program
// meets are in tests/cli/odd_files_test.cpp; these are the rest.
#include "base/output_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <ostream>

#include "tests/test_support.h"

namespace {

struct OutputCase {
    const char* name;
    std::string reason;  // after "cannot write PATH: ", with DIR for the directory; empty when
                         // the file is written
};

void PrintTo(const OutputCase& c, std::ostream* os) {
    *os << c.name;
}

// Puts at DIR/out what the case names; DIR/input is a regular file.
void plant(const std::string& name, const TempDir& dir) {
    const std::string out = dir.file("out");
    writeFile(dir.file("input"), "read\n");
    int made = 0;
    if (name == "RegularFile") writeFile(out, "old\n");
    if (name == "DanglingLink") made = symlink(dir.file("gone").c_str(), out.c_str());
    if (name == "Socket") {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, out.c_str(), sizeof address.sun_path - 1);
        made = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        close(fd);
    }
    if (name == "InputThroughALink") {
        writeFile(out, "read\n");
        made = symlink(out.c_str(), dir.file("link").c_str());
    }
    ASSERT_EQ(made, 0) << name;
}

class OutputPaths : public testing::TestWithParam<OutputCase> {};

}  // namespace

TEST_P(OutputPaths, WriteOrRefuseAndLeaveWhatWasThere) {
    TempDir dir;
    plant(GetParam().name, dir);
    const std::string out = dir.file("out");
    struct stat before {};
    const bool existed = lstat(out.c_str(), &before) == 0;
    std::string reason = GetParam().reason;
    if (reason.find("DIR") != std::string::npos) reason.replace(reason.find("DIR"), 3, dir.path);

    const std::string problem =
        writeOutputFile(out, "page\n", {dir.file("input"), dir.file("link")});
    EXPECT_EQ(problem, reason.empty() ? "" : "cannot write " + out + ": " + reason);
    EXPECT_EQ(readFile(dir.file("input")), "read\n");
    struct stat after {};
    const bool exists = lstat(out.c_str(), &after) == 0;
    if (!reason.empty()) {
        // Refused: the name still holds what it held.
        EXPECT_EQ(exists, existed);
        EXPECT_EQ(after.st_ino, before.st_ino);
    } else {
        EXPECT_EQ(readFile(out), "page\n");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone")));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OutputPaths,
    testing::Values(OutputCase{"Nothing", ""}, OutputCase{"RegularFile", ""},
                    OutputCase{"Socket", "it is a socket, not a regular file"},
                    OutputCase{"DanglingLink", "it is a symbolic link to nothing"},
                    OutputCase{"InputThroughALink", "it is the input DIR/link"}),
    [](const testing::TestParamInfo<OutputCase>& info) { return std::string(info.param.name); });

TEST(OutputFiles, AFifoWithAReaderIsWrittenInPlace) {
    TempDir dir;
    const std::string out = dir.file("out");
    ASSERT_EQ(mkfifo(out.c_str(), 0644), 0);
    const int reader = open(out.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(writeOutputFile(out, "page\n", {}), "");
    char text[16] = {};
    EXPECT_EQ(read(reader, text, sizeof text), 5);
    EXPECT_STREQ(text, "page\n");
    close(reader);
    struct stat status {};
    ASSERT_EQ(lstat(out.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST(OutputFiles, ANewFileTakesTheNameAndAReaderOfTheOldOneKeepsItWhole) {
    TempDir dir;
    const std::string path = dir.file("page.html");
    EXPECT_EQ(writeOutputFile(path, "old page\n", {}), "");
    // A second name for the old file stands for a reader that opened it before the change:
    // the content is not rewritten in place, so that reader still sees all of the old page.
    ASSERT_EQ(link(path.c_str(), dir.file("opened.html").c_str()), 0);
    EXPECT_EQ(writeOutputFile(path, "new page\n", {}), "");
    EXPECT_EQ(readFile(path), "new page\n");
    EXPECT_EQ(readFile(dir.file("opened.html")), "old page\n");
    EXPECT_EQ(writeOutputFile(dir.file("missing/page.html"), "page\n", {}),
              "cannot write " + dir.file("missing/page.html") + ": No such file or directory");
}
