// The statistics file total.txt and its copy total.bak in the current directory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "results/statistics_records.h"

// The statistics file and its copy, the one before the last save.
inline constexpr const char* statisticsFileName = "total.txt";
inline constexpr const char* statisticsBackupName = "total.bak";
// The key of the lines that count runs by their deepest depth: "deepest248=17". Readers that
// know only the other keys pass these lines over.
inline constexpr const char* runsByDeepestKey = "deepest";

// The statistics file as the process keeps it.
struct StatisticsFileState {
    // grandTotal.secs as read from the file at start-up.
    std::int64_t secsAtProgramStart = 0;
    // Whether the last saveStatistics failed to write total.txt or total.bak, and whether the
    // error stream said so already (once, until a save works again).
    bool saveFailed = false;
    bool failureShown = false;
    // When a save last synced the files and their directory to the disk, on the monotonic
    // clock; saves sync at most every few seconds.
    bool everSynced = false;
    std::int64_t lastSyncMs = 0;
    // A total.txt that is there but cannot be read as statistics is never written over: the
    // first save moves it aside, and total.bak with it (perhaps the last good copy), and the
    // saves write only once both are out of the way.
    struct UnreadFile {
        // "unreadable", "messed-with" or "missing" (total.txt is not there, total.bak is) while
        // it waits, else null
        const char* kind = nullptr;
        std::string backupKeptAs;   // where total.bak went, once moved ("-" when there was none)
        bool failureShown = false;  // a move that fails is reported once
    } unread;
};
extern StatisticsFileState statisticsFile;

// How reading a statistics file went. `failed`: the system could not read it now (isPassingError:
// too many open files, an input/output error, ...); the file may be perfectly good.
enum class StatisticsReading { read, missing, messedWith, failed };

// Reads the statistics file at `path` into `record` (cleared first) and its check line into
// `check`, as readStatistics does, without printing anything. Only a regular file is read:
// anything else is `missing`. With `failed`, `record` is clear and errno holds the cause. Values
// past the 64-bit limits are clamped to them; a negative node or second count makes the file
// `messedWith` (and leaves `record` clear and `check` as it was). Companion programs use it to read
// the files of several directories.
StatisticsReading readStatisticsFile(const char* path, StatsRecord& record, std::int32_t& check);
// Fills grandTotal from total.txt (clear when it is missing or not a statistics file). A file
// the system cannot read now is tried again for a moment; if it still cannot be read, the
// program ends through fatalExit, touching nothing: totals must never start again from zero
// because of a passing fault.
void readStatistics();
// Writes the statistics file image of grandTotal to `stream` and closes it.
void writeStatistics(std::FILE* stream);
// Folds the current run's pending nodes and full boards into grandTotal and sinceStart and
// brings both running times up to now.
void updateStatistics();
// updateStatistics, then writes total.bak and total.txt, then marks everything as saved.
// Each file is written to a temporary file and renamed over the old one, so that either
// file always holds a whole old or a whole new content, however the program is stopped.
void saveStatistics();
