// tessaly-stats --html: the page of crafted solver directories, read back as XML.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "results/board_files.h"
#include "results/record_board_names.h"
#include "results/statistics_records.h"
#include "tests/test_support.h"
#include "tests/tools/common/show_test_boards.h"
#include "tests/tools/common/statistics_table_reader.h"
#include "tests/tools/common/status_page_reader.h"
#include "tools/common/search_history.h"

namespace {

namespace fs = std::filesystem;

// A history file of `lines` refreshes a minute apart, the best score rising.
std::string historyText(int lines) {
    std::string text = "time,nodes,nodes_per_sec,best,full_boards\n";
    for (int i = 0; i < lines; ++i)
        text += std::to_string(1'800'000'000 + 60 * i) + "," + std::to_string(i * 1'000'000) + "," +
                std::to_string(20'000 + i) + "," + std::to_string(470 + i) + "," +
                std::to_string(i) + "\n";
    return text;
}

// How often `part` stands in `text`.
std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

}  // namespace

// Three directories of a farm beside the puzzle, one of them holding the best board.
TEST(StatsPage, ShowsTheTablesFiguresTheBoardsPerScoreTheHistoryAndTheBestBoard) {
    GeneratedPuzzle puzzle(321);
    const TempDir& dir = puzzle.dir;
    Layout layout = puzzle.solution();
    swapSquares(layout, 3, 4, 9, 10);
    const int mismatched = static_cast<int>(puzzle.mismatches(layout).size());
    const std::vector<std::string> totals{
        "K7 stats\nnodes=123456789012\nsecs=90061\n5=2\n17=40\n",
        "K7 stats\nnodes=987654321\nsecs=3599\n9=1\n",
        "K7 stats\nnodes=55000000000\nsecs=86400\n17=3\n12=7000\n"};
    for (std::size_t i = 0; i < totals.size(); ++i) {
        fs::create_directories(dir.file("farm/" + std::to_string(i + 1)));
        writeFile(dir.file("farm/" + std::to_string(i + 1) + "/total.txt"), totals[i]);
    }
    const std::string best = "farm/2/" + std::to_string(480 - mismatched) + ".tsr";
    writeFile(dir.file(best), recordBoardText(puzzle.codes(layout)));
    writeFile(dir.file("farm/3/461.tsr"), "K7 v1.0\n");
    writeFile(dir.file("farm/history.csv"), historyText(4));

    fs::create_directories(dir.file("farm/4"));  // no statistics yet
    // The shell's farm/* also names the history file, which is noted and skipped.
    const std::string named = "farm/*";
    const ProgramResult text = runStats(named, dir.path);
    const ProgramResult paged = runStats("--html page.html " + named, dir.path);
    ASSERT_EQ(paged.status, 0) << paged.err;
    EXPECT_EQ(paged.out, text.out);  // the text is the same with a page or without
    EXPECT_NE(paged.err.find("farm/history.csv: is not a directory; skipped"), std::string::npos)
        << paged.err;

    const PageFacts page = readPage(dir.file("page.html"));
    ASSERT_TRUE(page.parsed) << page.problem;
    EXPECT_EQ(page.reloadSeconds, 0);
    const std::vector<ReadTable> tables = readTables(text.out);
    ASSERT_EQ(tables.size(), 2u);
    for (const char* label : {"Nodes", "Time", "Nodes/sec", "Side by side", "Best", "Grade"})
        EXPECT_EQ(page.totals.at(label), tables[1].rows.at(label)[0]) << label;
    ASSERT_EQ(page.directories.size(), 5u);
    EXPECT_EQ(page.directories[3],
              (std::vector<std::string>{
                  "farm/4", "not counted: total.txt cannot be read (missing or unreadable)"}));
    EXPECT_EQ(page.directories[4],
              (std::vector<std::string>{"farm/history.csv", "not counted: is not a directory"}));
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(page.directories[i],
                  (std::vector<std::string>{
                      "farm/" + std::to_string(i + 1), tables[0].rows.at("Nodes")[i],
                      tables[0].rows.at("Nodes/sec")[i], tables[0].rows.at("Best")[i]}));
    // One bar per score with boards, with the merged count.
    std::map<int, long long> bars;
    for (const std::string& label : tables[1].labels)
        if (label.size() == 3 && std::isdigit(static_cast<unsigned char>(label[0])))
            bars[std::stoi(label)] = std::stoll(tables[1].rows.at(label)[0]);
    EXPECT_EQ(page.bars, bars);
    EXPECT_EQ(page.bars.size(), 4u);
    EXPECT_EQ(page.plotPoints, (std::vector<int>{4, 4}));  // node rate and best score
    // The best board, drawn and reported; both boards listed.
    EXPECT_EQ(page.triangles, 1024);
    EXPECT_EQ(page.mismatchMarks, mismatched);
    EXPECT_NE(page.text.find("score " + std::to_string(480 - mismatched) + ": " +
                             std::to_string(mismatched) + " of the 480 inner edges mismatched"),
              std::string::npos)
        << page.text;
    EXPECT_NE(page.text.find(best + ", checked against"), std::string::npos) << page.text;
    EXPECT_NE(page.text.find("461 farm/3/461.tsr"), std::string::npos) << page.text;
}

TEST(StatsPage, SaysWhatItLacksAndTakesAHistoryFileNamedOnTheCommandLine) {
    TempDir dir;  // no piece file anywhere the page looks
    fs::create_directories(dir.file("runs/a"));
    writeFile(dir.file("runs/a/total.txt"), "K7 stats\nnodes=5000\nsecs=10\n19=1\n");
    writeFile(dir.file("runs/a/461.tsr"), "K7 v1.0\n");
    writeFile(dir.file("elsewhere.csv"), historyText(3) + "17000,cut sh");

    ProgramResult result = runStats("--html page.html --history elsewhere.csv runs/a", dir.path);
    ASSERT_EQ(result.status, 0) << result.err;
    PageFacts page = readPage(dir.file("page.html"));
    ASSERT_TRUE(page.parsed) << page.problem;
    EXPECT_EQ(page.triangles, 0);
    EXPECT_NE(page.text.find("No piece file k7pieces.txt was found"), std::string::npos)
        << page.text;
    EXPECT_EQ(page.plotPoints, (std::vector<int>{3, 3}));
    EXPECT_EQ(page.bars, (std::map<int, long long>{{461, 1}}));
    EXPECT_NE(result.err.find("tessaly-stats: elsewhere.csv has 1 damaged line, passed over\n"),
              std::string::npos)
        << result.err;

    // Of a history too large to read whole, its end is read, and the page plots it.
    writeFile(dir.file("huge.csv"), "");
    std::filesystem::resize_file(dir.file("huge.csv"), historyReadLimit);
    writeFile(dir.file("end.csv"), historyText(3));
    result = runProgram("cat end.csv >> huge.csv && " + std::string(TESSALY_STATS_BIN) +
                            " --html page.html --history huge.csv runs/a",
                        dir.path);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("tessaly-stats: huge.csv is larger than 256 MB: only its last "
                              "256 MB are read\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(readPage(dir.file("page.html")).plotPoints, (std::vector<int>{3, 3}));

    // Without a history the page says so; a page that cannot be written is an error.
    result = runStats("--html page.html runs/a", dir.path);
    page = readPage(dir.file("page.html"));
    EXPECT_TRUE(page.plotPoints.empty());
    EXPECT_NE(page.text.find("No history.csv"), std::string::npos) << page.text;
    result = runStats("--html no/such/page.html runs/a", dir.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot write no/such/page.html"), std::string::npos) << result.err;
    EXPECT_EQ(runStats("--history elsewhere.csv runs/a", dir.path).status, 2);
}

// A board that scores less than its name says, and more unreadable boards than are worth
// naming, all better by their names than the one sound board.
TEST(StatsPage, PassesOverBoardsThatAreNotWhatTheirNamesSayNamingTheFirstTwenty) {
    GeneratedPuzzle puzzle(321);
    const TempDir& dir = puzzle.dir;
    Layout layout = puzzle.solution();
    swapSquares(layout, 3, 4, 9, 10);
    const std::string score = std::to_string(480 - puzzle.mismatches(layout).size());
    fs::create_directories(dir.file("runs/a"));
    writeFile(dir.file("runs/a/total.txt"), "K7 stats\nnodes=5000\nsecs=10\n19=1\n");
    const std::string board = recordBoardText(puzzle.codes(layout));
    writeFile(dir.file("runs/a/" + score + ".tsr"), board);
    writeFile(dir.file("runs/a/480.tsr"), board);
    for (int copy = 1; copy <= 25; ++copy)
        writeFile(dir.file("runs/a/" + recordBoardFileName(479, copy)), "K7 v1.0\n");

    const ProgramResult result = runStats("--html page.html runs/a", dir.path);
    ASSERT_EQ(result.status, 0) << result.err;
    const PageFacts page = readPage(dir.file("page.html"));
    ASSERT_TRUE(page.parsed) << page.problem;
    for (const std::string& text : {result.out, page.text}) {
        EXPECT_NE(text.find("runs/a/480.tsr is not what its name says: the file name says score "
                            "480, but the board scores " +
                            score),
                  std::string::npos)
            << text;
        EXPECT_EQ(occurrences(text, " cannot be read: "), 19u) << text;
        EXPECT_NE(text.find("and 6 more record boards cannot be read or are not what their names "
                            "say"),
                  std::string::npos)
            << text;
    }
    EXPECT_NE(page.text.find("runs/a/" + score + ".tsr, checked against"), std::string::npos)
        << page.text;
}
