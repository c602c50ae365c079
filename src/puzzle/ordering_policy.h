// The numbers of the candidate ordering.
#pragma once

#include <cstdint>

// A piece's place in its built-in ordering, scaled to 0..orderingScale - 1 whatever its length.
inline constexpr std::int32_t orderingScale = 1000;
// Each edge in the run's shunned colour moves a piece this much later, each edge in a favoured
// colour this much earlier: a fifth of the ordering, so a run's colours reshape it.
inline constexpr std::int32_t colourWeight = 200;
// The colours a run draws from: its shunned colour and one favoured colour among the first
// lowColourCount program colours, its other favoured colour among the highColourCount after them.
inline constexpr std::uint32_t lowColourCount = 17;
inline constexpr std::uint32_t highColourCount = 5;
// Each pair of entries swaps when a draw of 0..swapNoiseRange - 1 exceeds their difference in
// value plus swapNoiseOffset: pairs of equal value swap about half the time, pairs more than
// the offset apart in order never, pairs more than it out of order always.
inline constexpr std::uint32_t swapNoiseRange = 300;
inline constexpr std::int32_t swapNoiseOffset = swapNoiseRange / 2;
