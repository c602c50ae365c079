#include "base/random.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "base/program_state.h"

namespace {

// Bit-at-a-time CRC-16 with the reflected polynomial 0xA001 and start value 0xFFFF, as an
// independent reference for the table-driven checksum.
std::uint16_t bitwiseCrc(const char* text, std::size_t length) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t n = 0; n < length; ++n) {
        crc ^= static_cast<unsigned char>(text[n]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

// Keeps the process-wide generators as they were before a test that draws from them.
class RandomGlobalGenerators : public ::testing::Test {
protected:
    void SetUp() override {
        savedMain = program.mainRandom;
        savedGroup = program.groupRandom;
    }
    void TearDown() override {
        program.mainRandom = savedMain;
        program.groupRandom = savedGroup;
    }
    RandomState savedMain{};
    RandomState savedGroup{};
};

}  // namespace

TEST(RandomGenerator, MatchesReferenceMersenneTwisterOverSeveralRegenerations) {
    for (std::uint32_t seed : {0u, 1u, 5489u, 0x480D1C20u, 123456789u, 0xFFFFFFFFu}) {
        RandomState state{};
        seedRandom(state, seed);
        std::mt19937 reference(seed);
        for (int n = 0; n < 3000; ++n) {
            ASSERT_EQ(nextRandom(state), reference()) << "seed " << seed << ", output " << n;
        }
    }
}

TEST(RandomGenerator, DefaultSeedGivesPublishedOutputs) {
    RandomState state{};
    seedRandom(state, 5489);
    EXPECT_EQ(nextRandom(state), 3499211612u);
    EXPECT_EQ(nextRandom(state), 581869302u);
    EXPECT_EQ(nextRandom(state), 3890346734u);
    std::uint32_t output = 0;
    for (int n = 4; n <= 10000; ++n)
        output = nextRandom(state);
    EXPECT_EQ(output, 4123659995u);
}

TEST(RandomGenerator, ReseedingRestartsTheSequence) {
    RandomState state{};
    seedRandom(state, 2024);
    const std::uint32_t first = nextRandom(state);
    for (int n = 0; n < 700; ++n)
        nextRandom(state);
    seedRandom(state, 2024);
    EXPECT_EQ(nextRandom(state), first);
}

TEST(RandomGenerator, EqualSeedsGiveEqualSequences) {
    RandomState a{};
    RandomState b{};
    seedRandom(a, 77);
    seedRandom(b, 77);
    for (int n = 0; n < 1500; ++n)
        ASSERT_EQ(nextRandom(a), nextRandom(b)) << "output " << n;
}

TEST_F(RandomGlobalGenerators, DrawsFromOneGeneratorDoNotAdvanceTheOther) {
    seedRandom(program.mainRandom, 99);
    seedRandom(program.groupRandom, 99);
    std::mt19937 reference(99);
    for (int n = 0; n < 1000; ++n)
        nextRandom(program.mainRandom);
    EXPECT_EQ(nextRandom(program.groupRandom), reference());
    EXPECT_EQ(nextRandom(program.groupRandom), reference());
}

TEST(RandomChecksum, NineDigitsGiveTheCheckValue) {
    EXPECT_EQ(directoryChecksum("123456789", 9), 0x4B37);
}

TEST(RandomChecksum, EmptyTextGivesTheStartValue) {
    EXPECT_EQ(directoryChecksum("", 0), 0xFFFF);
}

TEST(RandomChecksum, OnlyTheGivenLengthCounts) {
    EXPECT_EQ(directoryChecksum("123456789/more", 9), 0x4B37);
}

TEST(RandomChecksum, AgreesWithBitwiseCrcIncludingHighBytes) {
    const char* texts[] = {"/", "/home/solver/runs", "C:\\Puzzles\\Gr\xC3\xBC\xC3\x9F\x65",
                           "\xFF\x80\x7F\x01"};
    for (const char* text : texts) {
        const std::size_t length = std::strlen(text);
        EXPECT_EQ(directoryChecksum(text, length), bitwiseCrc(text, length)) << text;
    }
}

TEST(RandomSeeds, MainSeedWorkedExample) {
    EXPECT_EQ(mainSeed(0x4B3A1C20u, 1234u, 0x4B37), 0x480D1C20u);
}

TEST(RandomSeeds, MainSeedPutsChecksumInTheTopHalf) {
    EXPECT_EQ(mainSeed(0u, 0u, 0xABCD), 0xABCD0000u);
}

TEST(RandomSeeds, MainSeedDropsProgramClockBitsAboveTheFifth) {
    EXPECT_EQ(mainSeed(0x12345678u, 64u, 0), 0x12345678u);
    EXPECT_EQ(mainSeed(0x12345678u, 64u + 1u, 0), 0x12345678u ^ 0x04000000u);
}

TEST(RandomSeeds, GroupSeedWithSixtyFourMillisecondsEqualsWallClock) {
    EXPECT_EQ(groupSeed(0x4B3A1C20u, 64u), 0x4B3A1C20u);
}

TEST(RandomSeeds, GroupSeedPutsLowSixClockBitsInTheTopBits) {
    EXPECT_EQ(groupSeed(0u, 1u), 0x04000000u);
    EXPECT_EQ(groupSeed(0x4B3A1C20u, 63u + 128u), 0x4B3A1C20u ^ 0xFC000000u);
}
