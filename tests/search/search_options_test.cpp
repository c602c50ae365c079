// The options table is the one list of search options: the bench's help and the groups file's
// words follow it (the man pages: tests/tools/man-pages).
#include "search/search_options.h"

#include <gtest/gtest.h>

#include <string>

#include "run/groups_file.h"
#include "tests/test_support.h"

namespace {

TEST(SearchOptions, EveryRowIsInTheBenchHelpAndTheGroupsFile) {
    const std::string benchHelp = runProgram(TESSALY_BENCH_BIN " --help", ".").out;
    for (const SearchOptionRow& row : searchOptionRows) {
        EXPECT_NE(benchHelp.find(std::string(row.benchFlag) + " "), std::string::npos) << row.name;
        if (row.word == nullptr) continue;
        const std::int64_t value = row.valueName != nullptr ? row.most : 1;
        RunGroups groups;
        ASSERT_EQ(parseGroups(optionWord(row, value) + "\noff\n", "g.txt", groups), "");
        EXPECT_EQ(groups.options[row], value) << row.name;
    }
}

}  // namespace
