#include "stats/statistics_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "results/full_boards.h"
#include "run/clocks.h"
#include "run/console.h"
#include "run/disk_sync.h"
#include "run/run_loop.h"
#include "run/startup.h"
#include "search/search_state.h"
#include "stats/statistics_records.h"
#include "stats/statistics_report.h"

std::int64_t secsAtProgramStart = 0;
bool statisticsSaveFailed = false;

namespace {

constexpr int lineCapacity = 100;  // lines are read in pieces of at most 99 characters
// Saves sync their files and the directory to the disk at most this often (on the monotonic
// clock, which setting the wall clock cannot hold back), so that frequent run ends stay cheap
// while a power cut loses at most a few seconds of statistics.
constexpr std::int64_t syncIntervalMs = 10'000;
bool everSynced = false;
std::int64_t lastSyncMs = 0;

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// A decimal as a conversion reads it: blanks skipped, a sign, digits up to the first other
// character. False when there is no digit; values past the 64-bit limits are clamped to them.
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
// file that cannot be written completely leaves `name` as it was. False when it failed.
bool replaceFile(const char* name, bool sync) {
    char temporary[64];
    std::snprintf(temporary, sizeof temporary, "%s.tmp", name);
    std::FILE* file = std::fopen(temporary, "w");
    if (file == nullptr) {
        printErr("could not write to total.txt\n");
        return false;
    }
    printImage(file);
    bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    if (written && sync) written = fsync(fileno(file)) == 0;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary, name) != 0) {
        printErr("could not write to total.txt\n");
        std::remove(temporary);
        return false;
    }
    return true;
}

// Opens `path` for reading only when it is a regular file: a directory, a pipe or a device
// named total.txt is no statistics file, and a pipe could block the reading for ever.
std::FILE* openRegularFile(const char* path) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status {};
    std::FILE* file = nullptr;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) file = fdopen(fd, "r");
    if (file == nullptr) close(fd);
    return file;
}

}  // namespace

StatisticsReading readStatisticsFile(const char* path, StatsRecord& record, std::int32_t& check) {
    clearRecord(record);
    std::FILE* file = openRegularFile(path);
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
        }
    }
    std::fclose(file);
    // From the entries as they stand at the end: a count given again replaces the earlier one.
    record.best = lowestBest(record);
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
        // Saturating: a crafted file may hold totals at the 64-bit limits.
        record->nodes = addClamped(record->nodes, pending);
        for (int i = 0; i < mismatchSlots; ++i)
            record->histogram[i] = addClamped(record->histogram[i], fullBoardTally[i]);
        record->best = lowestBest(*record);
    }
    const std::int64_t running = wallClockSeconds() - programStartTime;
    grandTotal.secs = addClamped(secsAtProgramStart, running);
    sinceStart.secs = running;
    savedNodes = 0;
}

void saveStatistics() {
    updateStatistics();
    if (writeFiles) {
        const std::int64_t now = monotonicMs();
        const bool sync = !everSynced || now - lastSyncMs >= syncIntervalMs;
        const bool backupSaved = replaceFile("total.bak", sync);
        const bool saved = replaceFile("total.txt", sync);
        statisticsSaveFailed = !backupSaved || !saved;
        // The renames reach the disk only with the directory that holds the names.
        if (sync) {
            syncDirectoryOf("total.txt");
            everSynced = true;
            lastSyncMs = now;
        }
    }
    savedNodes = nodeCount;
    fullBoardTally.fill(0);
}
