// The run budget's numbers: when it looks at a run, and what a run must show to go on.
#pragma once

#include <cstdint>

// The first doubling check; the threshold doubles at each check after it.
inline constexpr std::int64_t firstDoublingCheck = 100'000'000;
// At a doubling check the run goes on only if its most-entered counted depth is this or deeper:
// a run that spends its nodes shallower has stalled.
inline constexpr int concentrationLimit = 164;
// A run that has not reached the deep depths by here ends with "-": its start is a dead end.
inline constexpr std::int64_t earlyFailureNodes = 40'000'000;
// A run that has found no full board past noBoardFrom nodes ends with "_" at a check before
// noBoardUntil: a run that long must earn its nodes with boards.
inline constexpr std::int64_t noBoardFrom = 4'000'000'000;
inline constexpr std::int64_t noBoardUntil = 5'000'000'000;
// Nodes between checkpoints: statistics saved and report printed even in the longest runs.
inline constexpr std::int64_t checkpointDistance = 10'000'000'000;
// At a checkpoint a run ends with "):" unless it found more full boards than this since the last.
inline constexpr std::int32_t boardsPerCheckpoint = 5;
// Past this count a run must find more than boardsPerLongCheckpoint boards a checkpoint.
inline constexpr std::int64_t longRunNodes = 20'000'000'000;
inline constexpr std::int32_t boardsPerLongCheckpoint = 40;
// Past this count a run's checkpoint line also says how many checkpoints it has passed.
inline constexpr std::int64_t veryLongRunNodes = 50'000'000'000;
