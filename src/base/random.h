// Random numbers: two independent MT19937 generators and the seeds they start from.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Number of words in the state of one generator.
inline constexpr int randomWordCount = 624;

// One MT19937 generator: its state words and the position of the next word to temper.
// A position of randomWordCount means the next draw first regenerates all words.
struct RandomState {
    std::array<std::uint32_t, randomWordCount> words;
    std::int32_t position;
};

// The seed of both generators until they are seeded: MT19937's customary default, so that a draw
// before any seeding is still a proper random sequence (an all-zero state draws only zeros).
inline constexpr std::uint32_t startSeed = 5489;
// The environment variable by which the tests fix the seeds of a solver's two generators,
// "MAIN,GROUP", so that an end-to-end test sees the same runs at every start. For tests only:
// no program sets it, and without it the seeds come from the clocks and the directory.
inline constexpr const char* testSeedsVariable = "TESSALY_TEST_SEEDS";

// Overwrites `state` with the standard MT19937 initialisation from `seed`.
void seedRandom(RandomState& state, std::uint32_t seed);
// A generator seeded with `seed`.
RandomState seededRandom(std::uint32_t seed);
// Returns the next MT19937 output of `state` and advances it.
std::uint32_t nextRandom(RandomState& state);
// CRC-16 (reflected polynomial 0xA001, start 0xFFFF, no final xor) of the first `length`
// bytes of `text`; mixed into the main seed so that programs started together in different
// directories draw different sequences.
std::uint16_t directoryChecksum(const char* text, std::size_t length);
// Seed of mainRandom from wall-clock seconds T, program-clock milliseconds M and the
// directory checksum K: T xor (((M << 10) xor K) << 16), all modulo 2^32.
std::uint32_t mainSeed(std::uint32_t wallSeconds, std::uint32_t programMs, std::uint16_t checksum);
// Seed of groupRandom from wall-clock seconds T and program-clock milliseconds M:
// T xor (M << 26), modulo 2^32.
std::uint32_t groupSeed(std::uint32_t wallSeconds, std::uint32_t programMs);
