#include "tools/common/directory_reading.h"

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <system_error>

#include "base/directory_lock.h"
#include "results/deepest_board.h"
#include "stats/statistics_file.h"
#include "tools/common/search_history.h"
#include "tools/common/statistics_merge.h"

std::string pathIn(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    if (directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

std::vector<std::string> keptFilesIn(const std::string& directory) {
    std::vector<std::string> files;
    for (const char* name : {statisticsFileName, statisticsBackupName, lockFileName,
                             historyFileName, deepestBoardFileName})
        files.push_back(pathIn(directory, name));
    return files;
}

std::string directoryKey(const std::string& directory) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path path = fs::weakly_canonical(fs::path(directory), error);
    if (error) {
        error.clear();
        path = fs::absolute(fs::path(directory), error);
        if (error) path = fs::path(directory);
        path = path.lexically_normal();
    }
    std::string key = path.string();
    while (key.size() > 1 && key.back() == '/')
        key.pop_back();
    return key;
}

std::string sharedParent(const std::vector<std::string>& directories) {
    std::string parent;
    for (const std::string& directory : directories) {
        const std::string own =
            std::filesystem::path(directoryKey(directory)).parent_path().string();
        if (!parent.empty() && own != parent) return "";
        parent = own;
    }
    return parent;
}

std::vector<std::string> namesOf(const std::vector<DirectoryStatistics>& directories) {
    std::vector<std::string> names;
    for (const DirectoryStatistics& directory : directories)
        names.push_back(directory.name);
    return names;
}

DirectoryReading readDirectoryStatistics(const std::string& directory,
                                         DirectoryStatistics& statistics) {
    statistics.name = directory;
    clearRecord(statistics.record);
    statistics.record.check = 0;
    const std::string path = pathIn(directory, statisticsFileName);
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return DirectoryReading::unreadable;
    if (!S_ISREG(status.st_mode)) return DirectoryReading::notRegular;
    std::int32_t check = 0;
    switch (readStatisticsFile(path.c_str(), statistics.record, check)) {
        case StatisticsReading::missing:
        case StatisticsReading::failed:
            return DirectoryReading::unreadable;
        case StatisticsReading::messedWith:
            return DirectoryReading::notStatistics;
        case StatisticsReading::read:
            break;
    }
    statistics.record.check = check;
    statistics.record.best = lowestBest(statistics.record);
    return DirectoryReading::read;
}

const char* readingProblem(DirectoryReading reading) {
    switch (reading) {
        case DirectoryReading::read:
            return "read";
        case DirectoryReading::unreadable:
            return "cannot be read (missing or unreadable)";
        case DirectoryReading::notRegular:
            return "cannot be read (not a regular file)";
        case DirectoryReading::notStatistics:
            return "is not a statistics file (messed with)";
    }
    return "cannot be read";
}

ReadDirectories readDirectories(const std::vector<std::string>& names) {
    ReadDirectories result;
    std::map<std::string, std::string> seen;  // directory key: the name first given for it
    for (const std::string& directory : names) {
        const auto [first, isNew] = seen.emplace(directoryKey(directory), directory);
        if (!isNew) {
            result.problems.push_back(directory + ": same directory as " + first->second +
                                      "; counted once");
            continue;
        }
        // A file among the names, such as the farm's history.csv caught by "farm/*".
        std::error_code error;
        if (std::filesystem::exists(directory, error) &&
            !std::filesystem::is_directory(directory, error)) {
            result.problems.push_back(directory + ": is not a directory; skipped");
            result.skipped.push_back({directory, "is not a directory"});
            continue;
        }
        DirectoryStatistics statistics;
        const DirectoryReading reading = readDirectoryStatistics(directory, statistics);
        if (reading != DirectoryReading::read) {
            result.problems.push_back(pathIn(directory, statisticsFileName) + ": " +
                                      readingProblem(reading) + "; skipped");
            result.skipped.push_back(
                {directory, std::string("total.txt ") + readingProblem(reading)});
            continue;
        }
        result.read.push_back(statistics);
        for (RecordBoard& board : recordBoardsIn(directory))
            result.boards.push_back(board);
    }
    sortBestFirst(result.boards);
    return result;
}
