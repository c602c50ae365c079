#include "stats/statistics_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "base/clocks.h"
#include "base/console.h"
#include "base/fatal_exit.h"
#include "base/file_reading.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "base/whole_files.h"
#include "results/deepest_board.h"
#include "results/full_boards.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "search/search_state.h"
#include "stats/statistics_report.h"

StatisticsFileState statisticsFile;

namespace {

constexpr int lineCapacity = 100;  // lines are read in pieces of at most 99 characters
// Far more than any statistics file holds; a larger file is not read to its end.
constexpr std::size_t largestFile = 1 << 20;
// Saves sync their files and the directory to the disk at most this often (on the monotonic
// clock, which setting the wall clock cannot hold back), so that frequent run ends stay cheap
// while a power cut loses at most a few seconds of statistics.
constexpr std::int64_t syncIntervalMs = 10'000;
constexpr std::int64_t millisecondsPerSecond = 1000;

bool exists(const char* name) {
    struct stat status {};
    return lstat(name, &status) == 0;
}

bool isRegularFile(const char* name) {
    struct stat status {};
    return lstat(name, &status) == 0 && S_ISREG(status.st_mode);
}

// The kind of an unread total.txt that is not there at all: only its total.bak is moved aside.
constexpr const char* missingKind = "missing";

// Moves the unread total.txt and its total.bak aside and says where; true when nothing of
// them is in the way of a save any more.
bool setAsideUnreadFile() {
    if (statisticsFile.unread.kind == nullptr) return true;
    const std::string stamp = fileStamp();
    if (statisticsFile.unread.backupKeptAs.empty())
        statisticsFile.unread.backupKeptAs =
            exists(statisticsBackupName) ? moveAside(statisticsBackupName, "kept", stamp.c_str())
                                         : "-";
    // A total.txt removed in the meantime is out of the way as well.
    std::string keptAs = "-";
    if (!statisticsFile.unread.backupKeptAs.empty() && exists(statisticsFileName))
        keptAs = moveAside(statisticsFileName, statisticsFile.unread.kind, stamp.c_str());
    if (statisticsFile.unread.backupKeptAs.empty() || keptAs.empty()) {
        if (!statisticsFile.unread.failureShown) {
            if (statisticsFile.unread.kind == missingKind)
                printErr(
                    "total.txt is missing and total.bak cannot be moved aside (%s); the "
                    "statistics are not saved over it\n",
                    std::strerror(errno));
            else
                printErr(
                    "total.txt could not be read and cannot be moved aside (%s); the statistics "
                    "are not saved over it\n",
                    std::strerror(errno));
        }
        statisticsFile.unread.failureShown = true;
        return false;
    }
    const std::string directory = std::string(program.settings.workingDirectory) + "/";
    const std::string& backup = statisticsFile.unread.backupKeptAs;
    if (keptAs != "-") {
        std::string where = directory + keptAs;
        if (backup != "-") where += ", and total.bak as " + directory + backup;
        printErr("total.txt could not be read; it is kept as %s\n", where.c_str());
    } else if (backup != "-") {
        printErr("total.txt is missing; total.bak is kept as %s\n", (directory + backup).c_str());
    }
    statisticsFile.unread = {};
    return true;
}

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

// The file's content: the six kinds of line, histogram entries above 0 only.
std::string statisticsText() {
    char line[lineCapacity];
    std::string text = "K7 stats\n";
    std::snprintf(line, sizeof line, "nodes=%lld\nsecs=%lld\n",
                  static_cast<long long>(results.statistics.grandTotal.nodes),
                  static_cast<long long>(results.statistics.grandTotal.secs));
    text += line;
    std::snprintf(line, sizeof line, "best=%s\ncheck=%d\n",
                  gradeText[results.statistics.grandTotal.best],
                  results.statistics.grandTotal.check);
    text += line;
    for (int i = 0; i < mismatchSlots; ++i) {
        if (results.statistics.grandTotal.histogram[i] <= 0) continue;
        std::snprintf(line, sizeof line, "%d=%lld\n", i,
                      static_cast<long long>(results.statistics.grandTotal.histogram[i]));
        text += line;
    }
    for (int d = 0; d < depthCount; ++d) {
        if (results.statistics.grandTotal.runsByDeepest[d] <= 0) continue;
        std::snprintf(line, sizeof line, "%s%d=%lld\n", runsByDeepestKey, d,
                      static_cast<long long>(results.statistics.grandTotal.runsByDeepest[d]));
        text += line;
    }
    return text;
}

// Writes the statistics as `name`, whole (writeWholeFile); a file that cannot be written
// leaves `name` as it was and is named on the error stream with the reason, once while the
// saves keep failing. True when it was written.
bool replaceFile(const char* name, bool sync) {
    const int error = writeWholeFile(name, statisticsText(), Existing::replace, sync);
    if (error == 0) return true;
    if (!statisticsFile.failureShown)
        printErr("could not write to %s (%s); it is tried again at every save\n", name,
                 std::strerror(error));
    return false;
}

// Takes one line of a statistics file into `record`, its check line into `check`. Lines of other
// keys, values that cannot be read, counts below 0 and entries outside the histogram or the
// depths are passed over.
void takeStatisticsLine(const char* line, StatsRecord& record, std::int32_t& check) {
    const char* equals = std::strchr(line, '=');
    if (equals == nullptr) return;
    const char* value = equals + 1;
    long long number = 0;
    if (startsWith(line, "nodes=")) {
        if (readDecimal(value, number)) record.nodes = number;
    } else if (startsWith(line, "secs=")) {
        if (readDecimal(value, number)) record.secs = number;
    } else if (startsWith(line, runsByDeepestKey)) {
        long long depth = 0;
        if (readDecimal(line + std::strlen(runsByDeepestKey), depth) && depth >= 0 &&
            depth < depthCount && readDecimal(value, number) && number >= 0)
            record.runsByDeepest[depth] = number;
    } else if (startsWith(line, "check=")) {
        if (readDecimal(value, number))
            check = static_cast<std::int32_t>(std::clamp<long long>(number, INT_MIN, INT_MAX));
    } else if (line[0] >= '0' && line[0] <= '9') {
        long long index = 0;
        if (readDecimal(line, index) && index < mismatchSlots && readDecimal(value, number) &&
            number >= 0)
            record.histogram[index] = number;
    }
}

// Reads the lines of the open statistics file `file` into `record` and `check`: `read`,
// `messedWith` when it is no statistics file, or `failed` with errno set when the system could
// not read it.
StatisticsReading readStatisticsLines(std::FILE* file, StatsRecord& record, std::int32_t& check) {
    char line[lineCapacity];
    const bool headerRead = std::fgets(line, lineCapacity, file) != nullptr;
    if (!headerRead && std::ferror(file)) return StatisticsReading::failed;
    if (!headerRead || !startsWith(line, "K7 stats")) return StatisticsReading::messedWith;
    std::size_t bytesRead = std::strlen(line);
    while (std::fgets(line, lineCapacity, file) != nullptr) {
        // A statistics file holds a few hundred bytes: one far larger is read no further.
        bytesRead += std::strlen(line);
        if (bytesRead > largestFile) return StatisticsReading::messedWith;
        takeStatisticsLine(line, record, check);
    }
    // A read that fails part-way is a fault of the moment, not of the file.
    return std::ferror(file) ? StatisticsReading::failed : StatisticsReading::read;
}

}  // namespace

StatisticsReading readStatisticsFile(const char* path, StatsRecord& record, std::int32_t& check) {
    clearRecord(record);
    // A directory, a pipe or a device named total.txt is no statistics file, and a pipe could
    // block the reading for ever: only a regular file is opened.
    FileReading opening;
    std::FILE* file = openRegularFile(path, opening);
    if (file == nullptr) {
        if (!isPassingError(opening.error)) return StatisticsReading::missing;
        errno = opening.error;
        return StatisticsReading::failed;
    }
    std::int32_t readCheck = check;
    StatisticsReading reading = readStatisticsLines(file, record, readCheck);
    const int error = errno;
    std::fclose(file);
    // Counts of nodes and seconds only grow from zero: a negative one was put there by hand.
    if (reading == StatisticsReading::read && (record.nodes < 0 || record.secs < 0))
        reading = StatisticsReading::messedWith;
    if (reading != StatisticsReading::read) {
        clearRecord(record);
        if (reading == StatisticsReading::failed) errno = error;
        return reading;
    }
    // From the entries as they stand at the end: a count given again replaces the earlier one.
    record.best = lowestBest(record);
    check = readCheck;
    return StatisticsReading::read;
}

void readStatistics() {
    statisticsFile.unread = {};
    StatisticsReading reading = StatisticsReading::failed;
    retryPassingFaults([&reading] {
        reading = readStatisticsFile(statisticsFileName, results.statistics.grandTotal,
                                     results.statistics.grandTotal.check);
        return reading != StatisticsReading::failed;
    });
    switch (reading) {
        case StatisticsReading::failed:
            printErr("total.txt cannot be read now (%s); nothing is changed, try again later\n",
                     std::strerror(errno));
            fatalExit();
        case StatisticsReading::missing:
            printErr("could not open total.txt\n");
            // Not missing but unreadable (no permission, a directory, a dangling link).
            if (exists(statisticsFileName))
                statisticsFile.unread.kind = "unreadable";
            else if (isRegularFile(statisticsBackupName))
                // The copy may be the only statistics left; the first save must not replace it.
                statisticsFile.unread.kind = missingKind;
            break;
        case StatisticsReading::messedWith:
            printErr("total.txt has been messed with, cannot read total scores\n");
            statisticsFile.unread.kind = "messed-with";
            break;
        case StatisticsReading::read:
            break;
    }
}

void writeStatistics(std::FILE* stream) {
    const std::string text = statisticsText();
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fclose(stream);
}

void updateStatistics() {
    const std::int64_t pending = search.nodeCount - runStatistics.savedNodes;
    const int endedRun = runStatistics.endedRunDepth;
    runStatistics.endedRunDepth = -1;
    for (StatsRecord* record : {&results.statistics.grandTotal, &results.statistics.sinceStart}) {
        if (endedRun >= 0)
            record->runsByDeepest[endedRun] = addClamped(record->runsByDeepest[endedRun], 1);
        // Saturating: a crafted file may hold totals at the 64-bit limits.
        record->nodes = addClamped(record->nodes, pending);
        for (int i = 0; i < mismatchSlots; ++i)
            record->histogram[i] =
                addClamped(record->histogram[i], runStatistics.fullBoardTally[i]);
        record->best = lowestBest(*record);
    }
    // On the monotonic clock: a wall clock set back must not take time off the totals.
    const std::int64_t running = std::max<std::int64_t>(
        0, (monotonicMs() - program.settings.programStartMs) / millisecondsPerSecond);
    results.statistics.grandTotal.secs = addClamped(statisticsFile.secsAtProgramStart, running);
    results.statistics.sinceStart.secs = running;
    runStatistics.savedNodes = 0;
}

void saveStatistics() {
    updateStatistics();
    takeDeeperBoard();
    if (program.settings.writeFiles) {
        const std::int64_t now = monotonicMs();
        const bool sync =
            !statisticsFile.everSynced || now - statisticsFile.lastSyncMs >= syncIntervalMs;
        saveDeepestBoard(sync);
        if (setAsideUnreadFile()) {
            const bool backupSaved = replaceFile(statisticsBackupName, sync);
            const bool saved = replaceFile(statisticsFileName, sync);
            statisticsFile.saveFailed = !backupSaved || !saved;
        } else {
            if (!statisticsFile.failureShown)
                printErr(
                    "could not write to total.txt (it is in the way); it is tried again at "
                    "every save\n");
            statisticsFile.saveFailed = true;
        }
        // A failing save is reported once, and so is the first save that works again.
        if (!statisticsFile.saveFailed && statisticsFile.failureShown)
            printErr("the statistics are saved again in total.txt and total.bak\n");
        statisticsFile.failureShown = statisticsFile.saveFailed;
        if (sync) {
            statisticsFile.everSynced = true;
            statisticsFile.lastSyncMs = now;
        }
    }
    runStatistics.savedNodes = search.nodeCount;
    runStatistics.fullBoardTally.fill(0);
}
