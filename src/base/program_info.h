// What every program of the project tells about itself: its version, its usage on request,
// and where it is installed.
#pragma once

#include <filesystem>
#include <string>

// The exit statuses of every program: 1 for a fault found while it runs (a file it cannot read
// or write, a process it cannot start), 2 for a fault of its command line.
inline constexpr int runFaultStatus = 1;
inline constexpr int usageFaultStatus = 2;

// Prints "NAME: PROBLEM" on the error stream, its control characters escaped, and ends the
// program with the run-time fault status.
[[noreturn]] void runFault(const char* name, const std::string& problem);

// The version every program reports with --version, as "NAME version 1.0".
inline constexpr const char* programVersion = "1.0";

// Prints "NAME version 1.0" and a line end on the standard output.
void printVersionLine(const char* name);

// When `argument` is exactly --help or --version, prints `usage` or the version line of `name`
// on the standard output and ends the program with status 0, or with the run-time fault status
// when the output could not be written (standardOutputWritten); otherwise returns.
void answerHelpOrVersion(const char* argument, const char* name, const char* usage);
// The same for every argument of a companion program, up to a "--"; -h asks for the usage too.
void answerHelpOrVersion(int argc, char** argv, const char* name, const char* usage);

// Flushes the standard output and tells whether everything written to it arrived; when not
// (a full disk, a closed pipe), says so on the standard error as "NAME: cannot write the
// standard output: REASON", so that a program can end with a failure status.
bool standardOutputWritten(const char* name);

// The directory that holds the running program, or an empty path when it cannot be found.
std::filesystem::path programDirectory();
