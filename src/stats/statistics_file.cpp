#include "stats/statistics_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "results/full_boards.h"
#include "run/clocks.h"
#include "run/console.h"
#include "run/run_loop.h"
#include "run/startup.h"
#include "search/search_state.h"
#include "stats/statistics_records.h"
#include "stats/statistics_report.h"

std::int64_t secsAtProgramStart = 0;

namespace {

constexpr int lineCapacity = 100;  // lines are read in pieces of at most 99 characters
// Saves sync their file to the disk at most this often, so that frequent run ends stay
// cheap while a power cut loses at most a few seconds of statistics.
constexpr std::int64_t syncInterval = 10;
std::int64_t lastSync = 0;

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// A decimal as a conversion reads it: blanks skipped, a sign, digits up to the first other
// character. False when there is no digit; out-of-range values are clamped.
bool readDecimal(const char* text, long long& value) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (end == text) return false;
    value = v;
    return true;
}

void printImage(std::FILE* stream) {
    std::fprintf(stream, "K7 stats\n");
    std::fprintf(stream, "nodes=%lld\n", static_cast<long long>(grandTotal.nodes));
    std::fprintf(stream, "secs=%lld\n", static_cast<long long>(grandTotal.secs));
    std::fprintf(stream, "best=%s\n", gradeText[grandTotal.best]);
    std::fprintf(stream, "check=%d\n", checkValue);
    for (int i = 0; i < mismatchSlots; ++i)
        if (grandTotal.histogram[i] > 0)
            std::fprintf(stream, "%d=%lld\n", i, static_cast<long long>(grandTotal.histogram[i]));
}

// Writes the statistics to a temporary file beside `name` and renames it over `name`; a
// file that cannot be written completely leaves `name` as it was.
void replaceFile(const char* name, bool sync) {
    char temporary[64];
    std::snprintf(temporary, sizeof temporary, "%s.tmp", name);
    std::FILE* file = std::fopen(temporary, "w");
    if (file == nullptr) {
        printErr("could not write to total.txt\n");
        return;
    }
    printImage(file);
    bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    if (written && sync) written = fsync(fileno(file)) == 0;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary, name) != 0) {
        printErr("could not write to total.txt\n");
        std::remove(temporary);
    }
}

}  // namespace

StatisticsReading readStatisticsFile(const char* path, StatsRecord& record, std::int32_t& check) {
    clearRecord(record);
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return StatisticsReading::missing;
    char line[lineCapacity];
    if (std::fgets(line, lineCapacity, file) == nullptr || !startsWith(line, "K7 stats")) {
        std::fclose(file);
        return StatisticsReading::messedWith;
    }
    while (std::fgets(line, lineCapacity, file) != nullptr) {
        const char* equals = std::strchr(line, '=');
        if (equals == nullptr) continue;
        const char* value = equals + 1;
        long long number = 0;
        if (startsWith(line, "nodes=")) {
            if (readDecimal(value, number)) record.nodes = number;
        } else if (startsWith(line, "secs=")) {
            if (readDecimal(value, number)) record.secs = number;
        } else if (startsWith(line, "check=")) {
            if (readDecimal(value, number))
                check = static_cast<std::int32_t>(std::clamp<long long>(number, INT_MIN, INT_MAX));
        } else if (line[0] >= '0' && line[0] <= '9') {
            long long index = 0;
            // Lines numbered outside the histogram, and counts that cannot be read, are ignored.
            if (!readDecimal(line, index) || index >= mismatchSlots || !readDecimal(value, number))
                continue;
            record.histogram[index] = number;
            if (number > 0 && index < record.best) record.best = static_cast<std::int32_t>(index);
        }
    }
    std::fclose(file);
    return StatisticsReading::read;
}

void readStatistics() {
    switch (readStatisticsFile("total.txt", grandTotal, checkValue)) {
        case StatisticsReading::missing:
            printErr("could not open total.txt\n");
            break;
        case StatisticsReading::messedWith:
            printErr("total.txt has been messed with, cannot read total scores\n");
            break;
        case StatisticsReading::read:
            break;
    }
}

void writeStatistics(std::FILE* stream) {
    printImage(stream);
    std::fclose(stream);
}

void updateStatistics() {
    const std::int64_t pending = nodeCount - savedNodes;
    for (StatsRecord* record : {&grandTotal, &sinceStart}) {
        record->nodes += pending;
        for (int i = 0; i < mismatchSlots; ++i)
            record->histogram[i] += fullBoardTally[i];
        record->best = lowestBest(*record);
    }
    const std::int64_t running = wallClockSeconds() - programStartTime;
    grandTotal.secs = secsAtProgramStart + running;
    sinceStart.secs = running;
    savedNodes = 0;
}

void saveStatistics() {
    updateStatistics();
    if (writeFiles) {
        const std::int64_t now = wallClockSeconds();
        const bool sync = now - lastSync >= syncInterval;
        replaceFile("total.bak", sync);
        replaceFile("total.txt", sync);
        if (sync) lastSync = now;
    }
    savedNodes = nodeCount;
    fullBoardTally.fill(0);
}
