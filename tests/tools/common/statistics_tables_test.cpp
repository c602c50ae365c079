#include "tools/common/statistics_tables.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/time_texts.h"
#include "stats/statistics_report.h"
#include "tests/tools/common/statistics_table_reader.h"
#include "tools/common/statistics_merge.h"

namespace {

// `count` directories named dir1, dir2, ... with random statistics.
std::vector<DirectoryStatistics> randomDirectories(std::mt19937_64& random, int count) {
    std::vector<DirectoryStatistics> directories;
    for (int d = 1; d <= count; ++d) {
        DirectoryStatistics directory;
        directory.name = "dir";
        directory.name += std::to_string(d);
        clearRecord(directory.record);
        directory.record.nodes = static_cast<std::int64_t>(random() % 5'000'000'000'000);
        directory.record.secs = static_cast<std::int64_t>(random() % 400'000);
        for (int k = 0; k < 2; ++k)
            directory.record.histogram[random() % 18] += static_cast<std::int64_t>(random() % 9);
        directory.record.best = lowestBest(directory.record);
        directories.push_back(directory);
    }
    return directories;
}

std::string kilo(std::int64_t rate) {
    std::string text = std::to_string(rate / 1000);
    text += " K";
    return text;
}

std::string score(std::int32_t best) {
    return std::to_string(best == mismatchSlots ? 0 : 480 - best);
}

}  // namespace

TEST(StatisticsTables, FieldsAreFifteenCharactersAndOverflowShowsAsStars) {
    EXPECT_EQ(field("12 G"), "           12 G");
    EXPECT_EQ(field(std::string(15, 'x')), std::string(15, 'x'));
    EXPECT_EQ(field(std::string(16, '9')), std::string(15, '*'));
}

TEST(StatisticsTables, LongDirectoryNamesKeepTheirTail) {
    EXPECT_EQ(columnHead("farm/1"), "farm/1");
    EXPECT_EQ(columnHead("123456789012345"), "123456789012345");
    const std::string name = "/home/someone/runs/farm/12";
    const std::string head = columnHead(name);
    EXPECT_EQ(head.size(), fieldWidth);
    EXPECT_EQ(head.substr(0, 3), "...");
    EXPECT_EQ(name.substr(name.size() - 12), head.substr(3));
}

TEST(StatisticsTables, EveryTableLineIsSixtyThreeCharacters) {
    std::mt19937_64 random(11);
    for (int count = 1; count <= 7; ++count) {
        std::vector<DirectoryStatistics> directories = randomDirectories(random, count);
        // Extremes: counts too wide for a field, a very long time, the longest grade.
        directories[0].record.histogram[19] = std::numeric_limits<std::int64_t>::max();
        directories[0].record.secs = std::numeric_limits<std::int64_t>::max();
        directories[0].record.nodes = std::numeric_limits<std::int64_t>::min();
        directories[0].name = "/a/very/long/name/of/a/directory";
        for (NodeFigures figures : {NodeFigures::billions, NodeFigures::exact}) {
            const std::string text = statisticsTables(directories, figures);
            const std::vector<std::string> lines = tableLines(text);
            ASSERT_FALSE(lines.empty());
            for (const std::string& line : lines)
                EXPECT_EQ(line.size(), 63u) << "[" << line << "]";
            const std::size_t tables = static_cast<std::size_t>((count + 2) / 3 + 1);
            EXPECT_EQ(readTables(text).size(), tables) << text;
        }
    }
}

TEST(StatisticsTables, DirectoriesGoThreeToATableThenTheTotals) {
    std::mt19937_64 random(12);
    const std::vector<DirectoryStatistics> directories = randomDirectories(random, 5);
    const std::vector<ReadTable> tables =
        readTables(statisticsTables(directories, NodeFigures::billions));
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(tables[0].heads, (std::vector<std::string>{"dir1", "dir2", "dir3"}));
    EXPECT_EQ(tables[1].heads, (std::vector<std::string>{"dir4", "dir5", ""}));
    EXPECT_EQ(tables[2].heads, (std::vector<std::string>{"All 5", "", ""}));
    EXPECT_EQ(tables[1].rows.at("Nodes")[2], "");
}

TEST(StatisticsTables, CellsShowEachDirectoryAndTheirSum) {
    std::mt19937_64 random(13);
    for (int round = 0; round < 10; ++round) {
        const std::vector<DirectoryStatistics> directories = randomDirectories(random, 4);
        std::vector<StatsRecord> records;
        for (const DirectoryStatistics& directory : directories)
            records.push_back(directory.record);
        const StatsRecord sum = mergeRecords(records);
        const std::vector<ReadTable> exact =
            readTables(statisticsTables(directories, NodeFigures::exact));
        const std::vector<ReadTable> billions =
            readTables(statisticsTables(directories, NodeFigures::billions));
        ASSERT_EQ(exact.size(), 3u);
        ASSERT_EQ(billions.size(), 3u);
        for (std::size_t d = 0; d < directories.size(); ++d) {
            const ReadTable& table = exact[d / 3];
            const std::size_t c = d % 3;
            const StatsRecord& record = directories[d].record;
            EXPECT_EQ(table.rows.at("Nodes")[c], std::to_string(record.nodes));
            EXPECT_EQ(billions[d / 3].rows.at("Nodes")[c],
                      std::to_string(record.nodes / 1'000'000'000) + " G");
            EXPECT_EQ(table.rows.at("Time")[c], durationText(record.secs));
            EXPECT_EQ(table.rows.at("Nodes/sec")[c],
                      kilo(record.secs ? record.nodes / record.secs : 0));
            EXPECT_EQ(table.rows.at("Best")[c], score(record.best));
            EXPECT_EQ(table.rows.at("Grade")[c], gradeText[record.best]);
            EXPECT_EQ(table.rows.count("Side by side"), 0u);
        }
        const ReadTable& totals = exact[2];
        EXPECT_EQ(totals.rows.at("Nodes")[0], std::to_string(sum.nodes));
        EXPECT_EQ(totals.rows.at("Time")[0], durationText(sum.secs));
        EXPECT_EQ(totals.rows.at("Nodes/sec")[0], kilo(sum.nodes / sum.secs));
        std::int64_t together = 0;
        for (const StatsRecord& record : records)
            together += record.secs ? record.nodes / record.secs : 0;
        EXPECT_EQ(totals.rows.at("Side by side")[0], kilo(together));
        EXPECT_EQ(totals.rows.at("Best")[0], score(sum.best));
        EXPECT_EQ(totals.rows.at("Grade")[0], gradeText[sum.best]);
        // One row per score with boards anywhere, best first, in every table alike.
        std::vector<std::string> scores;
        for (int i = 0; i < mismatchSlots; ++i) {
            bool any = false;
            for (const StatsRecord& record : records)
                any = any || record.histogram[i] > 0;
            if (!any) continue;
            scores.push_back(std::to_string(480 - i));
            EXPECT_EQ(totals.rows.at(scores.back())[0], std::to_string(sum.histogram[i]));
            for (std::size_t d = 0; d < directories.size(); ++d)
                EXPECT_EQ(exact[d / 3].rows.at(scores.back())[d % 3],
                          std::to_string(records[d].histogram[i]));
        }
        for (const ReadTable& table : exact) {
            const std::vector<std::string> shownScores(table.labels.end() - scores.size(),
                                                       table.labels.end());
            EXPECT_EQ(shownScores, scores);
        }
    }
}

TEST(StatisticsTables, NoBoardsShowScoreZeroAndTheLastGrade) {
    DirectoryStatistics directory{"empty", {}};
    clearRecord(directory.record);
    const std::vector<ReadTable> tables =
        readTables(statisticsTables({directory}, NodeFigures::billions));
    ASSERT_EQ(tables.size(), 2u);
    for (const ReadTable& table : tables) {
        EXPECT_EQ(table.rows.at("Best")[0], "0");
        EXPECT_EQ(table.rows.at("Grade")[0], gradeText[mismatchSlots]);
        EXPECT_EQ(table.rows.at("Nodes/sec")[0], "0 K");
        EXPECT_EQ(table.labels.back(), "Grade");
    }
}

TEST(StatisticsTables, AGradeTooLongForItsColumnIsCut) {
    DirectoryStatistics directory{"d", {}};
    clearRecord(directory.record);
    directory.record.histogram[19] = 1;
    directory.record.best = 19;
    const std::vector<ReadTable> tables =
        readTables(statisticsTables({directory}, NodeFigures::billions));
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0].rows.at("Grade")[0], std::string(gradeText[19]).substr(0, fieldWidth));
    EXPECT_EQ(tables[0].rows.at("461")[0], "1");
}
