// The one place where the solver writes to the console, so tests can capture its texts.
#pragma once

#include <cstdio>

// Streams that console output goes to; standard output and error unless a test swaps them.
extern std::FILE* consoleOut;
extern std::FILE* consoleErr;

// Called when a print to the output stream finds that its reader has gone (EPIPE), when set;
// the solver makes it a stop.
extern void (*onOutputGone)();

// printf to the output stream, flushed at once (marks carry no line end of their own).
void printOut(const char* format, ...) __attribute__((format(printf, 1, 2)));
// printf to the error stream.
void printErr(const char* format, ...) __attribute__((format(printf, 1, 2)));
