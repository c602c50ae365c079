#include "tools/common/record_board_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace fs = std::filesystem;

TEST(RecordBoardList, NamesTheSolverMakesAreRecordBoards) {
    const auto record = recordBoardName("468.tsr");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->score, 468);
    EXPECT_EQ(record->serial, 1);
    const auto perfect = recordBoardName("480-12.tsr");
    ASSERT_TRUE(perfect);
    EXPECT_EQ(perfect->score, 480);
    EXPECT_EQ(perfect->serial, 12);
    EXPECT_TRUE(recordBoardName("0.tsr"));
    for (const char* name : {"abc.tsr", "0468.tsr", "468.tsr.tmp", "total.txt"})
        EXPECT_FALSE(recordBoardName(name)) << name;
}

TEST(RecordBoardList, ListsTheBoardsOfADirectoryBestFirst) {
    TempDir dir;
    for (const char* name : {"461.tsr", "480-10.tsr", "480.tsr", "480-2.tsr", "470.tsr", "note.tsr",
                             "total.txt", "0463.tsr", "463--5.tsr", "480-999999999999.tsr"})
        writeFile(dir.file(name), "K7 v1.0\n");
    fs::create_directory(dir.file("475.tsr"));  // not a file
    const std::vector<RecordBoard> boards = recordBoardsIn(dir.path);
    std::vector<std::string> paths;
    for (const RecordBoard& board : boards)
        paths.push_back(board.path);
    const std::vector<std::string> expected{dir.file("480.tsr"), dir.file("480-2.tsr"),
                                            dir.file("480-10.tsr"), dir.file("470.tsr"),
                                            dir.file("461.tsr")};
    EXPECT_EQ(paths, expected);
    // The path keeps the directory as given, with one slash.
    ASSERT_FALSE(recordBoardsIn(dir.path + "/").empty());
    EXPECT_EQ(recordBoardsIn(dir.path + "/").front().path, dir.file("480.tsr"));
}

TEST(RecordBoardList, ADirectoryThatCannotBeListedHasNoBoards) {
    TempDir dir;
    EXPECT_TRUE(recordBoardsIn(dir.file("missing")).empty());
    writeFile(dir.file("plain"), "");
    EXPECT_TRUE(recordBoardsIn(dir.file("plain")).empty());
}

TEST(RecordBoardList, BoardsOfSeveralDirectoriesSortBestFirstKeepingTheirOrder) {
    std::vector<RecordBoard> boards{{463, 1, "a/463.tsr"},
                                    {470, 1, "a/470.tsr"},
                                    {470, 1, "b/470.tsr"},
                                    {480, 1, "c/480.tsr"},
                                    {465, 1, "c/465.tsr"}};
    sortBestFirst(boards);
    std::vector<std::string> paths;
    for (const RecordBoard& board : boards)
        paths.push_back(board.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"c/480.tsr", "a/470.tsr", "b/470.tsr", "c/465.tsr",
                                               "a/463.tsr"}));
}

TEST(RecordBoardList, TheListShowsAtMostTheLimitWithScoreAndPath) {
    std::vector<RecordBoard> boards;
    for (int i = 0; i < 14; ++i) {
        std::string path = "d";
        path += std::to_string(i);
        path += "/";
        path += std::to_string(480 - i);
        boards.push_back({480 - i, 1, path});
    }
    const std::vector<std::string> lines = linesOf(recordBoardListText(boards, 10));
    ASSERT_EQ(lines.size(), 11u);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_NE(lines[i + 1].find(std::to_string(boards[i].score)), std::string::npos);
        EXPECT_EQ(lines[i + 1].substr(lines[i + 1].size() - boards[i].path.size()), boards[i].path);
    }
    EXPECT_EQ(linesOf(recordBoardListText(boards, 3)).size(), 4u);
    const std::string none = recordBoardListText({}, 10);
    EXPECT_EQ(linesOf(none).size(), 1u);
    EXPECT_NE(none.find("No record boards"), std::string::npos);
    // A name that holds an escape sequence reaches the terminal escaped.
    EXPECT_EQ(recordBoardListText({{470, 1, "d/470\x1b[2J\x7f.tsr"}}, 10),
              "Record boards, best first:\n  470  d/470\\x1b[2J\\x7f.tsr\n");
}
