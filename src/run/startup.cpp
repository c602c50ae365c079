#include "run/startup.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "base/clocks.h"
#include "base/console.h"
#include "base/directory_lock.h"
#include "base/fatal_exit.h"
#include "base/file_reading.h"
#include "base/program_info.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "base/whole_files.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "results/board_files.h"
#include "results/deepest_board.h"
#include "results/record_board_names.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "run/groups_file.h"
#include "run/run_setup.h"
#include "search/search_options.h"
#include "stats/statistics_file.h"
#include "stats/statistics_report.h"

namespace {

constexpr char separator = '/';
constexpr int argumentPosition = 1;  // only the first argument is examined

constexpr const char* usage =
    "usage: tessaly            search; statistics and record boards in this directory\n"
    "       tessaly -oDIR      read the pieces here; statistics and boards go to DIR\n"
    "       tessaly BOARDFILE  start every run from the partly filled board in it\n"
    "       tessaly --help | --version\n"
    "\n"
    "Only the first argument is looked at. The 256 pieces are read from k7pieces.txt\n"
    "in the directory the program is started in. The statistics (total.txt and its\n"
    "copy total.bak) and every new record board and perfect board (SCORE.tsr, or\n"
    "SCORE-N.tsr beside an earlier board of that score) are kept in the current\n"
    "directory, the -o one if given.\n"
    "\n"
    "It searches without end. Ctrl-C or SIGTERM ends the current run, saves the\n"
    "statistics and ends with status 0; a second Ctrl-C, a second or more later, ends\n"
    "it at once.\n";

// "-o" text: enter the directory and extend settings.workingDirectory. An absolute path replaces
// settings.workingDirectory, since appending it to the start directory would name a place where
// nothing is stored. A result longer than 499 characters is refused, never truncated.
void enterOutputDirectory(const char* directory) {
    char extended[2 * pathCapacity + 2];
    if (directory[0] == separator)
        std::snprintf(extended, sizeof extended, "%s", directory);
    else
        std::snprintf(extended, sizeof extended, "%s%c%s", program.settings.workingDirectory,
                      separator, directory);
    if (std::strlen(directory) >= pathCapacity || std::strlen(extended) >= pathCapacity) {
        printOut("argument %d: directory <%s> makes a path longer than %d characters\n",
                 argumentPosition, directory, pathCapacity - 1);
        fatalExit();
    }
    if (chdir(directory) != 0) {
        printOut("argument %d: cd to directory <%s> failed\n", argumentPosition, directory);
        fatalExit();
    }
    std::memcpy(program.settings.workingDirectory, extended, std::strlen(extended) + 1);
}

void takeBoardPath(const char* path) {
    if (std::strlen(path) >= pathCapacity) {
        printOut("argument %d: board file name <%s> is longer than %d characters\n",
                 argumentPosition, path, pathCapacity - 1);
        fatalExit();
    }
    std::memcpy(program.settings.boardPath, path, std::strlen(path) + 1);
}

// A groups file beside the pieces replaces the built-in groups; a faulty one ends the program
// before anything is searched or written.
void readGroupsFileIfAny() {
    char path[pathCapacity + 20];
    std::snprintf(path, sizeof path, "%s%c%s", program.settings.workingDirectory, separator,
                  groupsFileName);
    struct stat status {};
    if (lstat(path, &status) != 0 && errno == ENOENT) return;
    const std::string fault = readGroupsFile(path, setup.groups);
    if (!fault.empty()) {
        printErr("%s\n", fault.c_str());
        fatalExit();
    }
}

// The lines that say what the groups file changes: where the groups come from, when not from
// the built-in table, and which search options are on. An option the pieces do not allow stays
// off, and the error stream says why.
void printGroupsSource() {
    const char* source = setup.groups.source.c_str();
    if (setup.groups.source.empty()) return;
    if (setup.groups.rules != StepRules::groups)
        printOut("Piece group rules are off, as %s says\n", source);
    else if (setup.groups.tableRead)
        printOut("Piece groups are read from %s\n", source);
    for (const SearchOptionRow& row : searchOptionRows) {
        const std::int64_t value = setup.groups.options[row];
        if (value == 0) continue;
        const std::string title = optionTitle(row, value);
        const std::string fault = row.refusal != nullptr ? row.refusal() : "";
        if (fault.empty())
            printOut("%s is on, as %s says\n", title.c_str(), source);
        else
            printErr("%s is off, though %s asks for it: %s\n", title.c_str(), source,
                     fault.c_str());
    }
}

// Whether `name` is a file the solver writes in its directory.
bool isSolverFile(std::string_view name) {
    return name == statisticsFileName || name == statisticsBackupName ||
           name == deepestBoardFileName || parseRecordBoardFileName(name);
}

// A record board whose save was cut short between its write and its rename, left as
// `temporary`: put in place under the first free name of `score` when it reads back whole and
// valid for these pieces (it may be the only copy of a record), else removed; one that cannot
// be read stays. Each case is named on the error stream.
void recoverRecordBoard(const std::string& temporary, int score, const std::string& directory) {
    struct stat status {};
    std::string text;
    FileReading reading;
    if (lstat(temporary.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        reading = readRegularFile(temporary.c_str(), largestRecordBoardFile, text);
    else
        reading = {FileReading::notRegular, 0, status.st_mode & S_IFMT};
    if (reading.fault == FileReading::cannotOpen || reading.fault == FileReading::cannotRead) {
        printErr(
            "%s%s %s; it may be a record board whose save a stop cut short, and is left as "
            "it is\n",
            directory.c_str(), temporary.c_str(), readingProblem(reading).c_str());
        return;
    }
    const std::string problem = reading.fault == FileReading::none
                                    ? recordBoardProblem(text, score)
                                    : "it " + readingProblem(reading);
    if (!problem.empty()) {
        if (unlink(temporary.c_str()) == 0)
            printErr("removed %s%s, a record board left unfinished by a stopped save (%s)\n",
                     directory.c_str(), temporary.c_str(), problem.c_str());
        return;
    }
    const BoardRename placed = renameToFreeBoardName(temporary, score);
    if (placed.error != 0)
        printErr(
            "%s%s is a record board whose save a stop cut short, and cannot be put in "
            "place as %s (%s); it is left as it is\n",
            directory.c_str(), temporary.c_str(), placed.name.c_str(), std::strerror(placed.error));
    else
        printErr("%s%s is a record board whose save a stop cut short; it is kept as %s%s\n",
                 directory.c_str(), temporary.c_str(), directory.c_str(), placed.name.c_str());
}

// Tidies the temporary files that a solver killed between writing and renaming one of its
// files left behind (total.txt.tmpPID, 463.tsr.tmpPID, ...), each named on the error stream.
// Called with the directory's lock held: no other solver writes here, so each is stale. A
// record board is recovered (recoverRecordBoard); the others are removed, as the file they were
// meant for was written whole before or is written again. Other programs' files are left alone.
void tidyStaleTemporaries() {
    std::vector<std::string> names;
    if (DIR* directory = opendir(".")) {
        while (const dirent* entry = readdir(directory))
            names.emplace_back(entry->d_name);
        closedir(directory);
    }
    const std::string directory = std::string(program.settings.workingDirectory) + separator;
    for (const std::string& name : names) {
        const std::optional<std::string_view> target = temporaryFileTarget(name);
        if (!target || !isSolverFile(*target)) continue;
        if (const auto record = parseRecordBoardFileName(*target)) {
            recoverRecordBoard(name, record->score, directory);
            continue;
        }
        if (unlink(name.c_str()) == 0)
            printErr("removed %s%s, left by a solver stopped while writing %.*s\n",
                     directory.c_str(), name.c_str(), static_cast<int>(target->size()),
                     target->data());
    }
}

}  // namespace

void startUp(int argc, char** argv) {
    // A first argument of exactly --help or --version is answered; any other first argument,
    // even one that begins with "--", keeps its usual meaning.
    if (argc > 1) answerHelpOrVersion(argv[1], "tessaly", usage);
    program.settings.programStartMs = monotonicMs();
    readTestSeeds();
    if (getcwd(program.settings.workingDirectory, pathCapacity) == nullptr) {
        // ERANGE: the path does not fit; otherwise the directory is gone or unreadable.
        if (errno == ERANGE)
            printErr("cannot read the current directory: its path is longer than %d characters\n",
                     pathCapacity - 1);
        else
            printErr("cannot read the current directory: %s\n", std::strerror(errno));
        fatalExit();
    }
    std::snprintf(program.settings.pieceFilePath, sizeof program.settings.pieceFilePath, "%s%c%s",
                  program.settings.workingDirectory, separator, pieceFileName);
    readPieceFile(program.settings.pieceFilePath);
    buildCandidateTables();
    readGroupsFileIfAny();

    program.settings.boardPath[0] = '\0';
    if (argc > 1) {
        const char* argument = argv[1];
        if (std::strncmp(argument, "-o", 2) == 0)
            enterOutputDirectory(argument + 2);
        else
            takeBoardPath(argument);
    }
    // Before anything is written there: a second solver would save over the first one's counts.
    const DirectoryLock lock = lockDirectory(".");
    if (lock.error == EWOULDBLOCK) {
        printErr("%s\n", lockRefusal(program.settings.workingDirectory, lock).c_str());
        std::exit(1);
    }
    if (lock.error != 0)
        printErr("cannot lock %s%c%s (%s); a second solver there would not be noticed\n",
                 program.settings.workingDirectory, separator, lockFileName,
                 std::strerror(lock.error));
    else
        tidyStaleTemporaries();
    printOut("Tessaly solver version %s\n\n", programVersion);
    printOut("Best scores are stored in %s\n\n", program.settings.workingDirectory);
    readStatistics();
    readDeepestBoard();
    statisticsFile.secsAtProgramStart = results.statistics.grandTotal.secs;
    clearRecord(results.statistics.sinceStart);
    printStatisticsReport();
    printGroupsSource();
}
