#include "base/random.h"

RandomState seededRandom(std::uint32_t seed) {
    RandomState state{};
    seedRandom(state, seed);
    return state;
}

namespace {

constexpr int shiftDistance = 397;
constexpr std::uint32_t twistMatrix = 0x9908B0DFu;
constexpr std::uint32_t upperBit = 0x80000000u;
constexpr std::uint32_t lowerBits = 0x7FFFFFFFu;

// CRC-16 remainders of the sixteen 4-bit values, for the reflected polynomial 0xA001.
constexpr std::array<std::uint16_t, 16> crcNibbleTable{
    0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
    0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400};

// Regenerates all words in place, in increasing order, so that words already regenerated
// feed the later ones (word 623 pairs with the new word 0).
void regenerate(RandomState& state) {
    auto& w = state.words;
    for (int k = 0; k < randomWordCount; ++k) {
        const std::uint32_t y = (w[k] & upperBit) | (w[(k + 1) % randomWordCount] & lowerBits);
        w[k] = w[(k + shiftDistance) % randomWordCount] ^ (y >> 1) ^ ((y & 1u) ? twistMatrix : 0u);
    }
    state.position = 0;
}

}  // namespace

void seedRandom(RandomState& state, std::uint32_t seed) {
    auto& w = state.words;
    w[0] = seed;
    for (int i = 1; i < randomWordCount; ++i)
        w[i] = 1812433253u * (w[i - 1] ^ (w[i - 1] >> 30)) + static_cast<std::uint32_t>(i);
    state.position = randomWordCount;
}

std::uint32_t nextRandom(RandomState& state) {
    // A position outside 0..623 (a state never seeded or overwritten) also regenerates,
    // so that a draw never reads outside the words.
    if (state.position >= randomWordCount || state.position < 0) regenerate(state);
    std::uint32_t y = state.words[state.position++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

std::uint16_t directoryChecksum(const char* text, std::size_t length) {
    std::uint32_t crc = 0xFFFF;
    for (std::size_t n = 0; n < length; ++n) {
        const std::uint32_t b = static_cast<unsigned char>(text[n]);
        crc = (crc >> 4) ^ crcNibbleTable[(crc ^ b) & 15];
        crc = (crc >> 4) ^ crcNibbleTable[(crc ^ (b >> 4)) & 15];
    }
    return static_cast<std::uint16_t>(crc);
}

std::uint32_t mainSeed(std::uint32_t wallSeconds, std::uint32_t programMs, std::uint16_t checksum) {
    return wallSeconds ^ (((programMs << 10) ^ checksum) << 16);
}

std::uint32_t groupSeed(std::uint32_t wallSeconds, std::uint32_t programMs) {
    return wallSeconds ^ (programMs << 26);
}
