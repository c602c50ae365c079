// The clocks of the system.
#pragma once

#include <cstdint>

// Seconds in a minute, for the figures per minute of CPU time.
inline constexpr double secondsPerMinute = 60;

// Wall clock: seconds since 1970-01-01 00:00 UTC.
std::int64_t wallClockSeconds();
// Program clock: milliseconds since the program started, on the monotonic clock.
std::int64_t programClockMs();
// Monotonic clock in milliseconds, for intervals that setting the wall clock must not move;
// safe to call in a signal handler.
std::int64_t monotonicMs();
