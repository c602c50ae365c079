// The two time texts of the system.
#pragma once

#include <cstdint>
#include <string>

// "D d H h" for a day or more, else "H h M'".
std::string durationText(std::int64_t seconds);
// "H:MM:SS", as a clock shows a time of running.
std::string clockTimeText(std::int64_t seconds);
// Time since `startClockMs` on the program clock (programClockMs), as the time since a run
// started is shown: "H h M' S.mmm''", to the millisecond in the first minute.
std::string elapsedText(std::int64_t startClockMs);
