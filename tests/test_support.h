// Helpers shared by the tests: temporary directories, files and running the built programs.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
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
// Waits up to `seconds` for the process to end: its exit status (128 + signal for a signal),
// or -1 if it still runs.
int waitForExit(pid_t pid, double seconds);

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
