// tessaly-man-pages puts the lists of the search options into a page at its marker lines, copies
// every other line as it is, and refuses a marker it does not know.
#include <gtest/gtest.h>

#include <string>

#include "search/search_options.h"
#include "tests/test_support.h"

namespace {

struct ManPageCase {
    const char* name;
    std::string page;
    int status;
    std::string written;  // the page written, or "" when none is
};

TEST(ManPages, OtherLinesAreCopiedAndAnUnknownMarkerIsRefused) {
    const ManPageCase cases[] = {
        {"NoMarker", ".TH X 1\n.SH NAME\nx \\- y\n.\\\" a comment\n", 0,
         ".TH X 1\n.SH NAME\nx \\- y\n.\\\" a comment\n"},
        {"UnknownMarker", ".TH X 1\n.\\\" @search-option-other@\n", 1, ""},
    };
    for (const ManPageCase& c : cases) {
        TempDir dir;
        writeFile(dir.file("in.1"), c.page);
        const ProgramResult result =
            runProgram(std::string(TESSALY_MAN_PAGES_BIN) + " in.1 out.1", dir.path);
        EXPECT_EQ(result.status, c.status) << c.name << ": " << result.err;
        EXPECT_EQ(readFile(dir.file("out.1")), c.written) << c.name;
    }
}

// The built pages: every option in the bench's synopsis, its text under its flag in the bench's
// page and under its word in the page of the file formats; no marker left.
TEST(ManPages, TheBuiltPagesHoldEveryOptionWithItsText) {
    const std::string bench = readFile(TESSALY_MAN_DIR "/tessaly-bench.1");
    const std::string formats = readFile(TESSALY_MAN_DIR "/tessaly.5");
    std::size_t synopsis = 0;
    for (const SearchOptionRow& row : searchOptionRows) {
        std::string flag = row.benchFlag;
        for (std::size_t at = flag.find('-'); at != std::string::npos; at = flag.find('-', at + 2))
            flag.insert(at, "\\");
        synopsis = bench.find(".RB [ " + flag, synopsis);
        EXPECT_NE(synopsis, std::string::npos) << row.name << " in the synopsis, in order";
        EXPECT_NE(bench.find(row.benchPage), std::string::npos) << row.name;
        if (row.wordPage != nullptr) {
            EXPECT_NE(formats.find(row.wordPage), std::string::npos) << row.name;
        }
    }
    EXPECT_EQ(bench.find("@search-option"), std::string::npos);
    EXPECT_EQ(formats.find("@search-option"), std::string::npos);
}

}  // namespace
