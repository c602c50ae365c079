// The solver processes of the farm: starting them, passing on a stop, noticing their ends.
#pragma once

#include <sys/types.h>

#include <string>

#include "farm/log_watch.h"

struct Instance {
    int number = 0;         // 1 to N
    std::string directory;  // where the instance keeps its statistics and boards
    std::string logPath;    // its console output
    pid_t pid = -1;         // the running process, or -1
    int restarts = 0;       // times it was started again after it ended on its own
    long restartAt = 0;     // program second at which it may be started again, after an end
    bool retired = false;   // ended too often; no longer restarted
    LogWatch log;
};

// How an instance is started.
struct LaunchPlan {
    std::string solver;      // the solver program
    std::string pieceFile;   // k7pieces.txt in the start directory
    std::string groupsFile;  // k7groups.txt in the start directory, or empty for none
    std::string boardFile;   // absolute path of the board file to load, or empty
};

// Creates the instance's directory if needed and starts the solver in its own process group
// (so that a Ctrl-C at the terminal reaches the farm alone, which passes it on once), with
// standard input from /dev/null and its output appended to its log. Without a board file
// the solver runs in the start directory with "-o" and the instance directory; with one, it
// runs in the instance directory, beside a copy of the piece file (and of the groups file),
// and loads the board file.
// Returns false, with `error` set, when it cannot be started.
bool startInstance(Instance& instance, const LaunchPlan& plan, std::string& error);

// Sends `signalNumber` to the instance if it runs.
void signalInstance(const Instance& instance, int signalNumber);

// Text for a wait status: "status 1" or "signal 9".
std::string endText(int waitStatus);

// Creates `path` and its missing parents; false when that fails.
bool makeDirectories(const std::string& path, std::string& error);
