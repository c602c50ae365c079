#include "stats/time_texts.h"

#include <cstdio>

#include "base/clocks.h"
#include "stats/statistics_records.h"

std::string durationText(std::int64_t seconds) {
    char text[64];
    const long long s = seconds;
    if (s / 86400 != 0)
        std::snprintf(text, sizeof text, "%lld d %lld h", s / 86400, (s / 3600) % 24);
    else
        std::snprintf(text, sizeof text, "%lld h %lld'", s / 3600, (s / 60) % 60);
    return text;
}

std::string elapsedText() {
    long s = static_cast<std::int32_t>(wallClockSeconds() - runStatistics.startTime);
    long m = 0;
    if (s < 60) {
        const long t = programClockMs() - runStatistics.startClock;
        s = t / 1000;
        m = t % 1000;
    }
    char text[96];
    std::snprintf(text, sizeof text, "%ld h %ld' %ld.%03ld''", s / 3600, (s / 60) % 60, s % 60, m);
    return text;
}
