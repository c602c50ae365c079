#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/console.h"
#include "base/program_state.h"
#include "base/random.h"
#include "base/settings.h"
#include "results/board_files.h"
#include "run/resets.h"
#include "run/run_loop.h"
#include "search/search_state.h"
#include "tests/test_support.h"

namespace {

// A board with pieces on most slots, some slots empty, and codes with the top bit set.
std::array<PieceCode, 256> sampleBoard() {
    std::array<PieceCode, 256> slots{};
    for (int s = 0; s < 256; ++s)
        slots[s] = (s % 9 == 4) ? emptyCode
                                : rotate(s % 4, makePieceCode(255 - s, (s * 3) % 23, (s + 1) % 23,
                                                              (s * 5) % 23, (s + 17) % 23));
    return slots;
}

// The hexadecimal words of a RecordBoardFile text, version line left out.
std::vector<std::uint32_t> wordsOf(const std::string& text) {
    std::string digits;
    for (const std::string& line : linesOf(text.substr(text.find('\n') + 1)))
        digits += line;
    std::vector<std::uint32_t> words;
    for (std::size_t k = 0; k + 8 <= digits.size(); k += 8)
        words.push_back(static_cast<std::uint32_t>(std::stoul(digits.substr(k, 8), nullptr, 16)));
    return words;
}

bool sameState(const RandomState& a, const RandomState& b) {
    return a.words == b.words && a.position == b.position;
}

// Start values, a seeded main generator (put back afterwards) and the sample board.
class RecordBoard : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgram();
        savedRandom = program.mainRandom;
        seedRandom(program.mainRandom, 4321u);
        search.board = sampleBoard();
    }
    void TearDown() override { program.mainRandom = savedRandom; }

private:
    RandomState savedRandom;
};

TEST_F(RecordBoard, TextIsAVersionLineAndFourteenLinesOf263LowercaseHexWords) {
    const std::string text = recordBoardText(search.board);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const auto lines = linesOf(text);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "K7 v1.0");
    for (std::size_t i = 1; i < 14; ++i)
        EXPECT_EQ(lines[i].size(), 160u) << "line " << i + 1;
    EXPECT_EQ(lines[14].size(), 24u);
    std::size_t digits = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        for (char c : lines[i])
            EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))
                << "character '" << c << "' on line " << i + 1;
        digits += lines[i].size();
    }
    EXPECT_EQ(digits, 263u * 8);
}

TEST_F(RecordBoard, DecodingGivesBackEverySlotWordIncludingEmptySlots) {
    const auto decoded = decodeRecordBoard(recordBoardText(search.board));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, sampleBoard());
    EXPECT_EQ((*decoded)[4], emptyCode);
}

TEST_F(RecordBoard, BoardIsChainedByXorBehindSixRandomWordsAndFollowedByOne) {
    RandomState draws = program.mainRandom;
    const std::vector<std::uint32_t> words = wordsOf(recordBoardText(search.board));
    ASSERT_EQ(words.size(), 263u);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(words[k], nextRandom(draws) & 0x7FFFFFFFu) << "word " << k;
    EXPECT_EQ(words[262], nextRandom(draws) & 0x7FFFFFFFu);
    std::uint32_t previous = words[5];
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(words[6 + i] ^ previous, static_cast<std::uint32_t>(search.board[i]))
            << "slot " << i;
        previous = words[6 + i];
    }
}

TEST_F(RecordBoard, MakingTheTextTakesSevenWordsFromTheMainGenerator) {
    RandomState expected = program.mainRandom;
    for (int i = 0; i < 7; ++i)
        nextRandom(expected);
    recordBoardText(search.board);
    EXPECT_TRUE(sameState(program.mainRandom, expected));
}

TEST_F(RecordBoard, TwoTextsOfTheSameBoardDifferButDecodeAlike) {
    const std::string first = recordBoardText(search.board);
    const std::string second = recordBoardText(search.board);
    EXPECT_NE(first, second);
    EXPECT_EQ(decodeRecordBoard(first), decodeRecordBoard(second));
    EXPECT_EQ(decodeRecordBoard(first), sampleBoard());
}

TEST_F(RecordBoard, EveryRandomWordHasItsTopBitClear) {
    for (int text = 0; text < 200; ++text) {
        const std::vector<std::uint32_t> words = wordsOf(recordBoardText(search.board));
        ASSERT_EQ(words.size(), 263u);
        for (int k : {0, 1, 2, 3, 4, 5, 262})
            ASSERT_LT(words[k], 0x80000000u) << "text " << text << ", word " << k;
    }
}

TEST_F(RecordBoard, TextsThatAreNoRecordBoardDecodeToNothing) {
    const std::string good = recordBoardText(search.board);
    EXPECT_EQ(decodeRecordBoard(""), std::nullopt);
    EXPECT_EQ(decodeRecordBoard("K7 v2.0" + good.substr(7)), std::nullopt);
    EXPECT_EQ(decodeRecordBoard(good.substr(0, good.size() - 9) + "\n"), std::nullopt);
    std::string notHex = good;
    notHex[20] = 'g';
    EXPECT_EQ(decodeRecordBoard(notHex), std::nullopt);
}

// Runs with the current directory moved into a fresh temporary directory.
class RecordBoardSave : public RecordBoard {
protected:
    CurrentTempDir dir;
};

TEST_F(RecordBoardSave, SavedFileHoldsTheTextOfTheCurrentBoardInTheCurrentDirectory) {
    const RandomState start = program.mainRandom;
    const std::string expected = recordBoardText(search.board);
    program.mainRandom = start;
    const SavedBoard saved = saveBoardOfScore(468);
    EXPECT_TRUE(saved.saved);
    EXPECT_EQ(saved.name, "468.tsr");
    EXPECT_EQ(readFile(dir.file("468.tsr")), expected);
}

// A board of a score that already has a file (after a kill before the statistics were saved,
// or a lost total.txt) gets a file of its own: no saved board is ever replaced.
TEST_F(RecordBoardSave, SavingNeverReplacesABoardOfTheSameScore) {
    writeFile(dir.file("470.tsr"), "first\n");
    writeFile(dir.file("470-2.tsr"), "second\n");
    const SavedBoard saved = saveBoardOfScore(470);
    EXPECT_EQ(saved.name, "470-3.tsr");
    EXPECT_EQ(readFile(dir.file("470.tsr")), "first\n");
    EXPECT_EQ(readFile(dir.file("470-2.tsr")), "second\n");
    EXPECT_EQ(decodeRecordBoard(readFile(dir.file("470-3.tsr"))), sampleBoard());
}

TEST_F(RecordBoardSave, WithFileWritingOffNothingIsWrittenButSevenWordsAreDrawn) {
    program.settings.writeFiles = false;
    RandomState expected = program.mainRandom;
    for (int i = 0; i < 7; ++i)
        nextRandom(expected);
    EXPECT_TRUE(saveBoardOfScore(468).saved);
    EXPECT_FALSE(std::filesystem::exists(dir.file("468.tsr")));
    EXPECT_TRUE(sameState(program.mainRandom, expected));
}

}  // namespace
