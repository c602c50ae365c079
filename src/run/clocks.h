// The two clocks of the system.
#pragma once

#include <cstdint>

// Wall clock: seconds since 1970-01-01 00:00 UTC.
std::int64_t wallClockSeconds();
// Program clock: milliseconds since the program started.
std::int32_t programClockMs();
