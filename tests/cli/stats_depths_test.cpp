// tessaly-stats on how deep the runs of solver directories went: the deepest depth and board and
// the runs by depth band, in the text and on the page, and deepest.txt files it cannot take.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "results/deepest_board.h"
#include "search/board_geometry.h"
#include "tests/test_support.h"
#include "tests/tools/common/show_test_boards.h"
#include "tests/tools/common/status_page_reader.h"

namespace {

namespace fs = std::filesystem;

// The planted solution filled up to `depth` in fill order, the hint piece in place.
Layout filledTo(const GeneratedPuzzle& puzzle, int depth) {
    Layout layout = puzzle.solution();
    for (int d = depth + 1; d < depthCount; ++d)
        layout.piece[fillOrder[d]] = -1;
    return layout;
}

// Writes DIR/deepest.txt of `layout` as the solver writes it.
void writeDeepest(const GeneratedPuzzle& puzzle, const std::string& directory,
                  const Layout& layout) {
    DeepestBoardState kept;
    kept.board = puzzle.codes(layout);
    kept.depth = depthOf(kept.board).depth;
    writeFile(puzzle.dir.file(directory + "/deepest.txt"), deepestBoardText(kept));
}

// Two directories with run counts and deepest boards, a: depth 250, b: depth 252 with two
// squares swapped, and c with neither.
struct Farm {
    GeneratedPuzzle puzzle{77};
    std::size_t mismatched = 0;  // of b's board

    Farm() {
        for (const char* name : {"a", "b", "c"})
            fs::create_directories(puzzle.dir.file(name));
        writeFile(puzzle.dir.file("a/total.txt"),
                  "K7 stats\nnodes=1000\nsecs=10\ndeepest100=5\ndeepest240=2\ndeepest249=1\n"
                  "deepest253=1\n");
        writeFile(puzzle.dir.file("b/total.txt"),
                  "K7 stats\nnodes=1000\nsecs=10\ndeepest239=3\ndeepest248=4\n"
                  "deepest100=9223372036854775807\n");
        writeFile(puzzle.dir.file("c/total.txt"), "K7 stats\nnodes=1000\nsecs=10\n");
        writeDeepest(puzzle, "a", filledTo(puzzle, 250));
        Layout deeper = filledTo(puzzle, 252);
        swapSquares(deeper, 3, 4, 9, 10);
        mismatched = puzzle.mismatches(deeper).size();
        writeDeepest(puzzle, "b", deeper);
    }
};

}  // namespace

TEST(StatsDepths, AddsUpTheBandsAndNamesTheDeepestBoardInTheTextAndOnThePage) {
    const Farm farm;
    const ProgramResult result = runStats("--html page.html a b c", farm.puzzle.dir.path);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // The runs of both directories by band, the sum held at the 64-bit limit; the counts
    // reach 253, deeper than either board.
    const std::map<std::string, std::string> bands{{"below 240", "9223372036854775807"},
                                                   {"240-247", "2"},
                                                   {"248-249", "5"},
                                                   {"250-251", "0"},
                                                   {"252-253", "1"},
                                                   {"254", "0"}};
    std::string expected = "Deepest depth: 253\nDeepest board: b/deepest.txt, depth 252, " +
                           std::string("254 pieces, ") + std::to_string(farm.mismatched) +
                           " mismatched edges\nRuns by deepest depth:\n";
    for (const char* band : {"below 240", "240-247", "248-249", "250-251", "252-253", "254"}) {
        char line[64];
        std::snprintf(line, sizeof line, "%15s %15s\n", band, bands.at(band).c_str());
        expected += line;
    }
    EXPECT_NE(result.out.find("\n\n" + expected), std::string::npos) << result.out;

    const PageFacts page = readPage(farm.puzzle.dir.file("page.html"));
    ASSERT_TRUE(page.parsed) << page.problem;
    ASSERT_EQ(page.totals.count("Deepest depth"), 1u);
    EXPECT_EQ(page.totals.at("Deepest depth"), "253");
    std::map<std::string, long long> bars;
    for (const auto& [band, runs] : bands)
        if (runs != "0") bars[band] = std::stoll(runs);
    EXPECT_EQ(page.depthBars, bars);
    // No record board: the one board drawn is the deepest, 254 squares of four triangles.
    EXPECT_EQ(page.triangles, 4 * 254);
    EXPECT_EQ(page.mismatchMarks, static_cast<int>(farm.mismatched));
    EXPECT_NE(page.text.find("b/deepest.txt: depth 252, 254 pieces"), std::string::npos);
}

namespace {

struct DamagedCase {
    const char* name;
    // Damages a/deepest.txt and gives the problem that is to be named.
    std::function<std::string(const Farm&)> damage;
};

void PrintTo(const DamagedCase& c, std::ostream* os) {
    *os << c.name;
}

class DamagedDeepestBoard : public testing::TestWithParam<DamagedCase> {};

}  // namespace

// A deepest.txt that is no board of the pieces is named and passed over; the rest is shown.
TEST_P(DamagedDeepestBoard, IsNamedAndPassedOver) {
    const Farm farm;
    const std::string path = farm.puzzle.dir.file("a/deepest.txt");
    fs::remove(path);
    const std::string message = "a/deepest.txt: " + GetParam().damage(farm) + "; passed over";
    const ProgramResult result =
        runStats("--pieces k7pieces.txt --html page.html a b c", farm.puzzle.dir.path);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "tessaly-stats: " + message + "\n");
    EXPECT_NE(result.out.find("Deepest board: b/deepest.txt, depth 252"), std::string::npos)
        << result.out;
    const PageFacts page = readPage(farm.puzzle.dir.file("page.html"));
    EXPECT_NE(page.text.find(message), std::string::npos) << page.text;
}

INSTANTIATE_TEST_SUITE_P(
    StatsDepths, DamagedDeepestBoard,
    testing::Values(
        DamagedCase{"NoBoardFile",
                    [](const Farm& farm) {
                        writeFile(farm.puzzle.dir.file("a/deepest.txt"), "deepest board\n");
                        return "is no deepest board of k7pieces.txt (it has 0 board lines, not "
                               "16)";
                    }},
        DamagedCase{"APieceTwice",
                    [](const Farm& farm) {
                        Layout layout = filledTo(farm.puzzle, 250);
                        const int piece = layout.piece[slotOf(9, 10)];
                        layout.piece[slotOf(3, 4)] = piece;
                        writeDeepest(farm.puzzle, "a", layout);
                        return "is no deepest board of k7pieces.txt (piece " +
                               std::to_string(piece + 1) + " stands twice)";
                    }},
        DamagedCase{"ADirectory",
                    [](const Farm& farm) {
                        fs::create_directory(farm.puzzle.dir.file("a/deepest.txt"));
                        return "is a directory, not a regular file";
                    }}),
    [](const testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });
