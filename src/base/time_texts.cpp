#include "base/time_texts.h"

#include <cstdio>

#include "base/clocks.h"
#include "base/formatted_text.h"

std::string durationText(std::int64_t seconds) {
    char text[64];
    const long long s = seconds;
    if (s / 86400 != 0)
        std::snprintf(text, sizeof text, "%lld d %lld h", s / 86400, (s / 3600) % 24);
    else
        std::snprintf(text, sizeof text, "%lld h %lld'", s / 3600, (s / 60) % 60);
    return text;
}

std::string clockTimeText(std::int64_t seconds) {
    return printed("%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                   static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
}

std::string elapsedText(std::int64_t startClockMs) {
    // The monotonic program clock, which setting the wall clock does not move; past the first
    // minute only whole seconds are shown.
    const long long t = programClockMs() - startClockMs;
    const long long s = t / 1000;
    const long long m = s < 60 ? t % 1000 : 0;
    char text[96];
    std::snprintf(text, sizeof text, "%lld h %lld' %lld.%03lld''", s / 3600, (s / 60) % 60, s % 60,
                  m);
    return text;
}
