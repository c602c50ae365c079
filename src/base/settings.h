// Settings of the process that several layers read: where it works, what it reads, whether
// it writes files, and where the benchmark ends a run. Set at start-up (or by the benchmark
// and the tools), then only read.
#pragma once

#include <cstdint>
#include <limits>

inline constexpr int pathCapacity = 500;  // 499 characters and the terminator

struct Settings {
    // The start directory, extended by the "-o" argument; printed, and the input of the seed.
    char workingDirectory[pathCapacity] = {};
    // The start directory and "/k7pieces.txt".
    char pieceFilePath[pathCapacity + 20] = {};
    // BoardFile to load at the start of every run; empty when none was named.
    char boardPath[pathCapacity] = {};
    // The monotonic clock (monotonicMs) at start-up: the running time is measured from it, so
    // that setting the wall clock never changes it.
    std::int64_t programStartMs = 0;
    // Whether runs write record boards and statistics files; the benchmark turns this off.
    bool writeFiles = true;
    // Node count at which a run stops without a mark, at its next budget check or
    // mismatch-phase stop check; the benchmark sets it to end a workload at a node total, and
    // tessaly-groups to cap its runs. No limit at the largest 64-bit value.
    std::int64_t runNodeLimit = std::numeric_limits<std::int64_t>::max();
};
