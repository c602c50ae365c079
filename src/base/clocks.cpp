#include "base/clocks.h"

#include <chrono>
#include <ctime>

#include "base/program_state.h"

namespace {
const auto programStart = std::chrono::steady_clock::now();
}

std::int64_t wallClockSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::int64_t programClockMs() {
    if (program.stoppedClockMs) return *program.stoppedClockMs;
    const auto elapsed = std::chrono::steady_clock::now() - programStart;
    return static_cast<std::int64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

std::int64_t monotonicMs() {
    if (program.stoppedClockMs) return *program.stoppedClockMs;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
