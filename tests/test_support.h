// Helpers shared by the tests: temporary directories, files and running the built programs.
#pragma once

#include <sys/types.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// A fresh directory under the system's temporary directory, removed with its contents.
struct TempDir {
    std::string path;
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return path + "/" + name; }
};

// A well-formed piece file of `lines` lines: 4 corners, 56 edges, then interior pieces.
std::string simplePieceFileText(int lines = 256);

// The lines of `text`, without their line ends.
std::vector<std::string> linesOf(const std::string& text);

// A fresh temporary directory that is the current directory while it lives.
struct CurrentTempDir : TempDir {
    CurrentTempDir();
    ~CurrentTempDir();
    std::filesystem::path previous;
};

void writeFile(const std::string& path, const std::string& text);
std::string readFile(const std::string& path);

struct ProgramResult {
    int status;       // exit status, or 128 + signal
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs `command` through the shell in `directory`, with `input` on standard input,
// stopping it after `seconds` with SIGTERM if it still runs (and ten seconds later with
// SIGKILL).
ProgramResult runProgram(const std::string& command, const std::string& directory,
                         const std::string& input = "", int seconds = 60);

// Runs the built tessaly-stats with `arguments` in `directory`.
ProgramResult runStats(const std::string& arguments, const std::string& directory);

// Starts `arguments` (the program first) in `directory` without waiting for it, with standard
// input from /dev/null and its output in the files `outPath` and `errPath` (relative to
// `directory`), appended to or replaced. With a `pendingSignal`, the program starts with that
// signal blocked and pending, as if it had come before the program could take it.
pid_t startProgram(const std::vector<std::string>& arguments, const std::string& directory,
                   const std::string& outPath, const std::string& errPath, bool append = false,
                   int pendingSignal = 0);
// Waits up to `seconds` for the process to end (0: looks once): its exit status (128 + signal
// for a signal), or -1 if it still runs.
int waitForExit(pid_t pid, double seconds);

// The ceiling of a wait for what a running program does (a line it prints, a file it writes, its
// end): only a hang reaches it, however busy the machine is.
inline constexpr double eventSeconds = 300;
// Sends `signal` to the process and waits for its end: its exit status as waitForExit gives it,
// or -1 when it had not ended after eventSeconds and was killed.
int stopProgram(pid_t pid, int signal = SIGTERM);
// Starts `arguments` (the program first) in `directory` as startProgram does, waits until its
// standard output holds `text` and stops it with SIGTERM: its status as stopProgram gives it,
// and its output.
ProgramResult runUntil(const std::vector<std::string>& arguments, const std::string& directory,
                       const std::string& text);
// The same, until `done` holds for its standard output and error stream as they are so far.
using OutputDone = std::function<bool(const std::string& out, const std::string& err)>;
ProgramResult runUntil(const std::vector<std::string>& arguments, const std::string& directory,
                       const OutputDone& done);
// Waits until `done()` holds, looking every 100 ms; false when `seconds` pass first.
bool waitUntil(const std::function<bool()>& done, double seconds = eventSeconds);
// Waits until the file at `path` holds `text`; false when `seconds` pass first.
bool waitForFileText(const std::string& path, const std::string& text,
                     double seconds = eventSeconds);

// Fixes the seeds "MAIN,GROUP" of every solver started while it lives, through testSeedsVariable
// in the environment of this process, which the programs it starts inherit.
struct FixedSeeds {
    explicit FixedSeeds(const char* seeds);
    ~FixedSeeds();
    FixedSeeds(const FixedSeeds&) = delete;
    FixedSeeds& operator=(const FixedSeeds&) = delete;
};
// The piece file of a practice puzzle (14 interior and 4 rim colours), and seeds with which the
// solver's first run on it reaches a full board within a tenth of a CPU-second: for a test that
// needs a full board, or a search under way, from one start. Picked by starting the solver on
// it with seeds N,N for N from 1 to 100: most took seconds, some found no board in a few.
std::string quickBoardPieces();
inline constexpr const char* quickBoardSeeds = "90,90";

// Captures everything printed through printOut and printErr while it lives.
struct ConsoleCapture {
    ConsoleCapture();
    ~ConsoleCapture();
    std::string out();
    std::string err();

private:
    std::FILE* savedOut;
    std::FILE* savedErr;
    std::FILE* outFile;
    std::FILE* errFile;
};
