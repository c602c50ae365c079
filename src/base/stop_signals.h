// The rule shared by the solver and tessaly-farm for repeated stop signals.
#pragma once

#include <cstdint>

// Signals that arrive this soon after the first belong to the same stop: `timeout`, Slurm and
// service managers send SIGTERM to the process and again to its group, or forward it as well.
inline constexpr std::int64_t sameStopMs = 1000;

// Whether a stop signal at `nowMs` (monotonicMs) is only a copy of the first stop, received at
// `firstMs`.
inline bool isSameStop(std::int64_t firstMs, std::int64_t nowMs) {
    return nowMs - firstMs < sameStopMs;
}
