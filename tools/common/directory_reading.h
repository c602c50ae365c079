// Reading the statistics file of one solver directory, as named on the command line.
#pragma once

#include <string>
#include <vector>

#include "results/statistics_records.h"
#include "tools/common/record_board_list.h"

// A directory as given and the statistics read from its total.txt.
struct DirectoryStatistics {
    std::string name;
    StatsRecord record;
};

// The names of `directories`, in their order.
std::vector<std::string> namesOf(const std::vector<DirectoryStatistics>& directories);

enum class DirectoryReading { read, unreadable, notRegular, notStatistics };

// `directory` joined with `name` by one slash (none added when it already ends in one).
std::string pathIn(const std::string& directory, const std::string& name);
// The files a solver directory keeps besides its record boards, which no companion writes
// over, whether they are there yet or not: the statistics file and its backup, the lock
// file, the farm's history (in the farm's own directory) and deepest.txt, the deepest board;
// each as pathIn(directory, NAME).
std::vector<std::string> keptFilesIn(const std::string& directory);
// A text that is the same for every way of naming one directory: the absolute path with
// "." and ".." resolved, symbolic links of existing parts followed, no trailing slash.
std::string directoryKey(const std::string& directory);
// The directory that holds every one of `directories` (as their keys name them), or an empty
// text when they have different parents or there are none.
std::string sharedParent(const std::vector<std::string>& directories);
// Reads pathIn(directory, "total.txt") into `statistics` (name set, record cleared first);
// best is recomputed from the histogram entries. Only a regular file is opened, so that a
// pipe or device named total.txt cannot block the reading. The solver replaces the file by
// renaming a new one over it, so a file read while it runs is either whole old or whole new.
DirectoryReading readDirectoryStatistics(const std::string& directory,
                                         DirectoryStatistics& statistics);
// The problem of a reading in words, e.g. "cannot be read (missing or unreadable)".
const char* readingProblem(DirectoryReading reading);

// A name whose statistics file was not read, and why: "is not a directory", or "total.txt "
// and the problem of its reading.
struct SkippedDirectory {
    std::string name;
    std::string problem;
};

// What the directories named on a command line hold, each directory counted once.
struct ReadDirectories {
    std::vector<DirectoryStatistics> read;  // in the order named
    std::vector<RecordBoard> boards;        // of the directories read, best first
    std::vector<std::string> problems;      // one sentence per repeat or skipped directory
    std::vector<SkippedDirectory> skipped;  // in the order named
};
// Reads the statistics file and lists the record boards of every directory in `names`. A
// directory named again in any spelling is noted and counted once; a name that is not a
// directory, or one whose statistics cannot be read, is noted and skipped, its boards
// unlisted.
ReadDirectories readDirectories(const std::vector<std::string>& names);
