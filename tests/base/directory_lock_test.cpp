#include "base/directory_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <ostream>
#include <string>

#include "tests/test_support.h"

namespace {

// What stands under the lock file's name before the first process takes the lock.
struct LockFileCase {
    const char* name;
    void (*plant)(const TempDir& dir);
};
void PrintTo(const LockFileCase& c, std::ostream* os) {
    *os << c.name;
}

class DirectoryLockHolds : public ::testing::TestWithParam<LockFileCase> {};

// flock treats every open of a file on its own, so a second lockDirectory in this process
// meets the first one's lock as another process's would.
TEST_P(DirectoryLockHolds, ASecondTakerIsRefusedAndTheHolderNamed) {
    TempDir dir;
    GetParam().plant(dir);
    const DirectoryLock first = lockDirectory(dir.path);
    EXPECT_EQ(first.error, 0);
    const DirectoryLock second = lockDirectory(dir.path);
    EXPECT_EQ(second.error, EWOULDBLOCK);
    EXPECT_EQ(second.holder, getpid());
    EXPECT_EQ(lockRefusal(dir.path, second),
              dir.path + " is in use by another process (pid " + std::to_string(getpid()) +
                  "); only one solver or farm at a time may keep its statistics there");
}

INSTANTIATE_TEST_SUITE_P(
    DirectoryLock, DirectoryLockHolds,
    ::testing::Values(LockFileCase{"NoLockFileYet", [](const TempDir&) {}},
                      LockFileCase{
                          "StaleIdInTheFile",
                          [](const TempDir& dir) { writeFile(dir.file(lockFileName), "1\n"); }},
                      LockFileCase{"LinkElsewhere",
                                   [](const TempDir& dir) {
                                       std::filesystem::create_symlink("/tmp",
                                                                       dir.file(lockFileName));
                                   }},
                      LockFileCase{"Directory",
                                   [](const TempDir& dir) {
                                       std::filesystem::create_directory(dir.file(lockFileName));
                                   }},
                      LockFileCase{"Fifo",
                                   [](const TempDir& dir) {
                                       ASSERT_EQ(mkfifo(dir.file(lockFileName).c_str(), 0600), 0);
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
