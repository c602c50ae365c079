// The statistics file total.txt and its copy total.bak in the current directory.
#pragma once

#include <cstdint>
#include <cstdio>

// grandTotal.secs as read from the file at start-up.
extern std::int64_t secsAtProgramStart;
// Whether the last saveStatistics failed to write total.txt or total.bak.
extern bool statisticsSaveFailed;

#include "stats/statistics_records.h"

enum class StatisticsReading { read, missing, messedWith };

// Reads the statistics file at `path` into `record` (cleared first) and its check line into
// `check`, as readStatistics does, without printing anything. Only a regular file is read:
// anything else is `missing`. Values past the 64-bit limits are clamped to them. Companion programs
// use it to read the files of several directories.
StatisticsReading readStatisticsFile(const char* path, StatsRecord& record, std::int32_t& check);
// Fills grandTotal from total.txt (clear when it is missing or not a statistics file).
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
