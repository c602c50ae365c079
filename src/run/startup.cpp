#include "run/startup.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "run/clocks.h"
#include "run/console.h"
#include "run/fatal_exit.h"
#include "stats/statistics_file.h"
#include "stats/statistics_records.h"
#include "stats/statistics_report.h"

char workingDirectory[pathCapacity];
char pieceFilePath[pathCapacity + 20];
char boardPath[pathCapacity];
std::int64_t programStartTime = 0;

namespace {

constexpr char separator = '/';
constexpr int argumentPosition = 1;  // only the first argument is examined

// "-o" text: enter the directory and extend workingDirectory. An absolute path replaces
// workingDirectory, since appending it to the start directory would name a place where
// nothing is stored. A result longer than 499 characters is refused, never truncated.
void enterOutputDirectory(const char* directory) {
    char extended[2 * pathCapacity + 2];
    if (directory[0] == separator)
        std::snprintf(extended, sizeof extended, "%s", directory);
    else
        std::snprintf(extended, sizeof extended, "%s%c%s", workingDirectory, separator, directory);
    if (std::strlen(directory) >= pathCapacity || std::strlen(extended) >= pathCapacity) {
        printOut("argument %d: directory <%s> makes a path longer than %d characters\n",
                 argumentPosition, directory, pathCapacity - 1);
        fatalExit();
    }
    if (chdir(directory) != 0) {
        printOut("argument %d: cd to directory <%s> failed\n", argumentPosition, directory);
        fatalExit();
    }
    std::memcpy(workingDirectory, extended, std::strlen(extended) + 1);
}

void takeBoardPath(const char* path) {
    if (std::strlen(path) >= pathCapacity) {
        printOut("argument %d: board file name <%s> is longer than %d characters\n",
                 argumentPosition, path, pathCapacity - 1);
        fatalExit();
    }
    std::memcpy(boardPath, path, std::strlen(path) + 1);
}

}  // namespace

void startUp(int argc, char** argv) {
    programStartTime = wallClockSeconds();
    if (getcwd(workingDirectory, pathCapacity) == nullptr) {
        // ERANGE: the path does not fit; otherwise the directory is gone or unreadable.
        if (errno == ERANGE)
            printErr("cannot read the current directory: its path is longer than %d characters\n",
                     pathCapacity - 1);
        else
            printErr("cannot read the current directory: %s\n", std::strerror(errno));
        fatalExit();
    }
    std::snprintf(pieceFilePath, sizeof pieceFilePath, "%s%ck7pieces.txt", workingDirectory,
                  separator);
    readPieceFile(pieceFilePath);
    buildCandidateTables();

    boardPath[0] = '\0';
    if (argc > 1) {
        const char* argument = argv[1];
        if (std::strncmp(argument, "-o", 2) == 0)
            enterOutputDirectory(argument + 2);
        else
            takeBoardPath(argument);
    }
    printOut("Tessaly solver version 1.0\n\n");
    printOut("Best scores are stored in %s\n\n", workingDirectory);
    readStatistics();
    secsAtProgramStart = grandTotal.secs;
    clearRecord(sinceStart);
    printStatisticsReport();
}
