// The farm launcher's parts: its options, its watch of the instances' boards and logs, and its
// status from their statistics.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "results/board_files.h"
#include "results/grid_writing.h"
#include "results/record_board_names.h"
#include "stats/statistics_file.h"
#include "tests/test_support.h"
#include "tests/tools/common/status_page_reader.h"
#include "tools/common/search_history.h"
#include "tools/farm/board_watch.h"
#include "tools/farm/farm_options.h"
#include "tools/farm/farm_page.h"
#include "tools/farm/farm_status.h"
#include "tools/farm/log_watch.h"

namespace {

std::optional<FarmOptions> parse(std::vector<std::string> arguments, std::string& error) {
    return parseFarmOptions(arguments, error);
}

TEST(FarmOptions, ReadsEveryOptionAndRefusesFaults) {
    std::string error;
    const auto defaults = parse({}, error);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->instances, 0);
    EXPECT_EQ(defaults->directory, "farm");
    EXPECT_TRUE(defaults->boardFile.empty());

    const auto full = parse({"-j", "12", "-d", "runs", "--status", "1", "--restarts", "0",
                             "--solver", "/opt/tessaly", "--html", "p.html", "start.txt"},
                            error);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->instances, 12);
    EXPECT_EQ(full->directory, "runs");
    EXPECT_EQ(full->statusSeconds, 1);
    EXPECT_EQ(full->restartLimit, 0);
    EXPECT_EQ(full->solver, "/opt/tessaly");
    EXPECT_EQ(full->boardFile, "start.txt");
    EXPECT_EQ(full->pagePath, "p.html");

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"-j", "0"},
                                                {"-j", "3x"},
                                                {"-j"},
                                                {"-d", ""},
                                                {"--verbose"},
                                                {"a.txt", "b.txt"},
                                                {"--status", "-1"}}) {
        error.clear();
        EXPECT_FALSE(parse(bad, error)) << bad[0];
        EXPECT_FALSE(error.empty()) << bad[0];
    }
}

TEST(FarmBoardWatch, AnnouncesTheBoardFilesThatAppearAndNothingElse) {
    TempDir dir;
    writeFile(dir.file("470.tsr"), "K7 v1.0\n");  // of an earlier start
    BoardWatch watch;
    noteBoardFiles(watch, dir.path);
    EXPECT_TRUE(newBoardFiles(watch, dir.path).empty());
    for (const char* name : {"480-2.tsr", "468.tsr", "469.tsr.tmp77", "0469.tsr"})
        writeFile(dir.file(name), "K7 v1.0\n");
    const std::vector<BoardNews> news = newBoardFiles(watch, dir.path);
    ASSERT_EQ(news.size(), 2u);
    EXPECT_TRUE(news[0].fileName == "468.tsr" && !news[0].perfect);
    EXPECT_TRUE(news[1].fileName == "480-2.tsr" && news[1].perfect);
    EXPECT_TRUE(newBoardFiles(watch, dir.path).empty());
}

namespace {

// The line of the solver's report of a board it could not save as `name` in `directory`.
std::string reportLine(const std::string& directory, const std::string& name) {
    return std::string(boardNotSavedText) + directory + "/" + name + ": No space left on device" +
           boardNotSavedEnd;
}

// The lines of an empty board, as the solver prints a board it could not save as `name`.
std::string emptyBoardLines(const std::string& name) {
    std::array<PieceCode, 256> slots;
    slots.fill(emptyCode);
    return gridText(slots, "board not saved as " + name);
}

// The whole report: the line, then the board.
std::string unsavedReport(const std::string& directory, const std::string& name) {
    return reportLine(directory, name) + "\n" + emptyBoardLines(name);
}

}  // namespace

TEST(FarmLogWatch, TakesAnUnsavedBoardWholeAndKeepsOneCutShortAtTheEnd) {
    // The farm shows such a board on its own output, so its log on a full disk cannot lose it.
    const std::string whole = unsavedReport("/d/farm/3", "463.tsr");
    for (const std::size_t kept : {whole.size(), whole.size() - 200}) {
        LogWatch watch;
        watch.directory = "/d/farm/3";
        EXPECT_TRUE(scanLogText(watch, "\n" + whole.substr(0, 150)).empty());
        std::vector<BoardNews> news = scanLogText(watch, whole.substr(150, kept - 150));
        if (kept < whole.size()) {
            EXPECT_TRUE(news.empty());
            news = endLogText(watch);  // the instance ended in the middle of it
        }
        ASSERT_EQ(news.size(), 1u) << kept;
        EXPECT_FALSE(news[0].saved);
        EXPECT_EQ(news[0].fileName, "463.tsr");
        std::string lines;
        for (const std::string& line : news[0].lines)
            lines += line + "\n";
        EXPECT_EQ(lines, kept < whole.size() ? whole.substr(0, kept) + "\n" : whole);
    }
}

TEST(FarmLogWatch, CountsOnlyTheReportOfTheInstancesOwnDirectoryWordForWord) {
    const struct {
        const char* name;
        std::string directory;  // of the instance
        std::string text;       // what it printed
        bool counts;
    } cases[] = {
        {"Exact", "/d/farm/3", unsavedReport("/d/farm/3", "480-2.tsr"), true},
        {"DirectoryWithALineEnd", "/d/x\ny", unsavedReport("/d/x\ny", "463.tsr"), true},
        {"InTheMiddleOfALine", "/d/farm/3", "Best in " + unsavedReport("/d/farm/3", "463.tsr"),
         false},
        {"AnotherDirectory", "/d/farm/3", unsavedReport("/d/farm/33", "463.tsr"), false},
        {"NoBoardName", "/d/farm/3", unsavedReport("/d/farm/3", "0463.tsr"), false},
        // A directory named to hold a report, which the solver prints where it says where the
        // scores are stored.
        {"InsideTheDirectorysName", "/d/x\n" + reportLine("/d/x", "463.tsr"),
         "Best scores are stored in /d/x\n" + reportLine("/d/x", "463.tsr") + "\n\n" +
             emptyBoardLines("463.tsr"),
         false},
    };
    for (const auto& c : cases) {
        LogWatch watch;
        watch.directory = c.directory;
        std::vector<BoardNews> news = scanLogText(watch, "-\n" + c.text);
        for (BoardNews& item : endLogText(watch))
            news.push_back(std::move(item));
        EXPECT_EQ(news.size(), c.counts ? 1u : 0u) << c.name;
    }
}

TEST(FarmRecord, SaysOnceWhyTheHistoryIsNotWrittenAndOnceWhenItIsAgain) {
    TempDir dir;
    writeFile(dir.file("elsewhere"), "");
    ASSERT_EQ(symlink("elsewhere", dir.file(historyFileName).c_str()), 0);
    FarmRecord record = startFarmRecord(dir.path, "", {dir.file("k7pieces.txt")});
    std::vector<std::vector<std::string>> said;
    for (int refresh = 0; refresh < 4; ++refresh) {
        if (refresh == 2) std::filesystem::remove(dir.file(historyFileName));
        said.push_back(recordRefresh(record, {}, HistoryPoint{}));
    }
    const std::string path = record.historyPath;
    EXPECT_EQ(said, (std::vector<std::vector<std::string>>{
                        {"could not write to " + path +
                         " (it is a symbolic link, which is not written through); trying again "
                         "at every save"},
                        {},
                        {path + " is written again"},
                        {}}));
    EXPECT_EQ(readFile(dir.file("elsewhere")), "");
}

TEST(FarmStatus, AddsUpTheStatisticsFilesThatCanBeRead) {
    TempDir dir;
    for (const char* name : {"1", "2", "3", "4"})
        std::filesystem::create_directory(dir.file(name));
    writeFile(dir.file("1/total.txt"),
              "K7 stats\nnodes=5000000000\nsecs=100\nbest=x\n14=2\n16=5\ndeepest252=1\n");
    writeFile(dir.file("2/total.txt"),
              "K7 stats\nnodes=2500000000\nsecs=50\n12=1\n16=1\ndeepest254=0\ndeepest250=4\n");
    writeFile(dir.file("3/total.txt"), "garbage\nnodes=999\n");  // messed with: not counted
    // 4 has no statistics file yet
    const FarmTotals totals =
        readFarmTotals({dir.file("1"), dir.file("2"), dir.file("3"), dir.file("4")}, "");
    EXPECT_EQ(totals.filesRead, 2);
    EXPECT_EQ(totals.nodes, 7500000000);
    EXPECT_EQ(totals.best, 12);
    EXPECT_EQ(totals.fullBoards, 9);
    EXPECT_EQ(totals.sideBySide, 5000000000 / 100 + 2500000000 / 50);

    const std::string line = farmStatusLine(3725, 3, 4, totals, 123456789.0);
    EXPECT_EQ(line,
              "1:02:05  3/4 alive  7.50 G nodes  123 M nodes/s  best 468  9 full boards  "
              "deepest 252");
    // Before any count or board the line says nothing of the depth.
    EXPECT_EQ(farmStatusLine(0, 0, 1, FarmTotals{}, 0),
              "0:00:00  0/1 alive  0 nodes  0 nodes/s  best -  0 full boards");
    EXPECT_EQ(shortCount(999), "999");
    EXPECT_EQ(shortCount(12345), "12.3 K");
}

}  // namespace
