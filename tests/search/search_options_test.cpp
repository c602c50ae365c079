// The options table is the one list of search options: the bench's help, the groups file's
// words and the man pages follow it.
#include "search/search_options.h"

#include <gtest/gtest.h>

#include <string>

#include "run/groups_file.h"
#include "tests/test_support.h"

namespace {

// `text` as a man page writes it, every '-' escaped.
std::string inRoff(const std::string& text) {
    std::string roff;
    for (const char c : text)
        roff += c == '-' ? std::string("\\-") : std::string(1, c);
    return roff;
}

TEST(SearchOptions, EveryRowIsInTheBenchHelpTheManPagesAndTheGroupsFile) {
    const std::string benchHelp = runProgram(TESSALY_BENCH_BIN " --help", ".").out;
    const std::string benchPage = readFile(TESSALY_MAN_DIR "/tessaly-bench.1");
    const std::string formats = readFile(TESSALY_MAN_DIR "/tessaly.5");
    for (const SearchOptionRow& row : searchOptionRows) {
        EXPECT_NE(benchHelp.find(std::string(row.benchFlag) + " "), std::string::npos) << row.name;
        EXPECT_NE(benchPage.find("\n.B" + std::string(row.valueName ? "I " : " ") +
                                 inRoff(row.benchFlag)),
                  std::string::npos)
            << row.name;
        if (row.word == nullptr) continue;
        const std::int64_t value = row.valueName != nullptr ? row.most : 1;
        EXPECT_NE(formats.find(".B" + std::string(row.valueName ? "I " : " ") + inRoff(row.word) +
                               (row.valueName ? "=" : "")),
                  std::string::npos)
            << row.name;
        RunGroups groups;
        ASSERT_EQ(parseGroups(optionWord(row, value) + "\noff\n", "g.txt", groups), "");
        EXPECT_EQ(groups.options[row], value) << row.name;
    }
}

}  // namespace
