#include "base/time_texts.h"

#include <gtest/gtest.h>

#include "base/clocks.h"
#include "base/program_state.h"

TEST(TimeTexts, DurationsShowDaysAndHoursOrHoursAndMinutes) {
    EXPECT_EQ(durationText(90'061), "1 d 1 h");
    EXPECT_EQ(durationText(3'599), "0 h 59'");
    EXPECT_EQ(durationText(86'399), "23 h 59'");
    EXPECT_EQ(durationText(0), "0 h 0'");
}

TEST(TimeTexts, ElapsedTimeIsExactToTheMillisecondInTheFirstMinuteOnly) {
    program.stoppedClockMs = 5'000'000;
    EXPECT_EQ(elapsedText(5'000'000 - 12'345), "0 h 0' 12.345''");
    EXPECT_EQ(elapsedText(5'000'000 - 59'999), "0 h 0' 59.999''");
    EXPECT_EQ(elapsedText(5'000'000 - 75'432), "0 h 1' 15.000''");
    EXPECT_EQ(elapsedText(5'000'000 - 3'725'000), "1 h 2' 5.000''");
    program.stoppedClockMs.reset();
}

TEST(TimeTexts, ARunningClockShowsHoursMinutesAndSeconds) {
    EXPECT_EQ(clockTimeText(0), "0:00:00");
    EXPECT_EQ(clockTimeText(3'599), "0:59:59");
    EXPECT_EQ(clockTimeText(90'061), "25:01:01");
}
