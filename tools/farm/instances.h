// The solver processes of the farm: starting them, passing on a stop, noticing their ends.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tools/farm/log_watch.h"

struct Instance {
    int number = 0;          // 1 to N
    std::string directory;   // where the instance keeps its statistics and boards
    std::string logPath;     // its console output
    pid_t pid = -1;          // the running process, or -1
    int restarts = 0;        // times it was started again after it ended on its own
    long restartAt = 0;      // program second at which it may be started again, after an end
    long startedAt = 0;      // program second of its last start
    bool retired = false;    // ended too often; no longer restarted
    long stopSince = -1;     // program second of a stop that waits until it can take it, or -1
    std::string unsavedEnd;  // how it last ended on its own, unsaved, if not started since
    int output = -1;         // the farm's end of the pipe that carries its console output
    int logFile = -1;        // its log, which the farm writes what it prints to
    bool logFailed = false;  // a write to the log failed (reported once)
    LogWatch log;            // its output, for the boards it could not save
    BoardWatch boards;       // the board files in its directory
};

// How an instance is started.
struct LaunchPlan {
    std::string solver;      // the solver program
    std::string pieceFile;   // k7pieces.txt in the start directory
    std::string groupsFile;  // k7groups.txt in the start directory, or empty for none
    std::string boardFile;   // absolute path of the board file to load, or empty
};

// Creates the instance's directory if needed (makeInstanceDirectory) and starts the solver in its
// own process group (so that a Ctrl-C at the terminal reaches the farm alone, which passes it on
// once), with standard input from /dev/null and its output in a pipe to the farm, which appends it
// to the log (relayOutput), so that the farm sees every unsaved board even when the log cannot
// be written. The stop signals are blocked while it forks and stay blocked, at their defaults,
// until the solver has its handler and lets them in, so that even a stop sent before it can
// take one (see canTakeStop) makes it save and end. Without a board file the solver runs
// in the start directory with "-o" and the instance directory; with one, it runs in the instance
// directory, beside a copy of the piece file (and of the groups file), and loads the board file.
// Returns false, with `error` set, when it cannot be started.
bool startInstance(Instance& instance, const LaunchPlan& plan, std::string& error);

// The directory `directory` of an instance as its solver names it in what it prints, and
// holds to its path limit: the start directory and the -o directory joined by a slash (the -o
// directory alone when absolute), or, when the solver runs in that directory (with a board
// file), its path with links resolved, as getcwd gives it there (a part not yet made as
// given). Empty when it cannot be known.
std::string solverDirectory(const std::string& directory, const LaunchPlan& plan);

// Copies what the instance has printed since the last call into its log and returns the boards
// it reported as not saved; at the end of its output (it has ended) closes the pipe and the
// log. A log that cannot be written is reported once in `problem`.
std::vector<BoardNews> relayOutput(Instance& instance, std::string& problem);

// Whether the solver `pid` takes a SIGTERM as a stop: it runs the solver (no longer the farm's
// copy made by the fork, /proc/PID/exe) and has its handler for SIGTERM in place, as Linux
// shows in /proc/PID/status (SigCgt, the signals it catches, SIGTERM as the bit 0x4000). A
// SIGTERM before that would end a solver that does not hold the stop signals at once, unsaved.
// True where /proc cannot tell, since then nothing better is known.
bool canTakeStop(pid_t pid);

// Sends `signalNumber` to the instance if it runs.
void signalInstance(const Instance& instance, int signalNumber);

// Whether an instance that ended with the wait status `waitStatus` saved its statistics as it
// ended: only status 0 says that its last save succeeded.
bool savedAtEnd(int waitStatus);

// Text for a wait status: "status 1" or "signal 9".
std::string endText(int waitStatus);

// Creates `path` and its missing parents; false when that fails.
bool makeDirectories(const std::string& path, std::string& error);
// Creates the directory of an instance like makeDirectories, and refuses one that is a
// symbolic link: the farm writes in no directory it did not make.
bool makeInstanceDirectory(const std::string& path, std::string& error);
