// The one place where the solver writes to the console, so tests can capture its texts.
#pragma once

#include "base/process_hooks.h"

// printf to the output stream, flushed at once (marks carry no line end of their own).
void printOut(const char* format, ...) __attribute__((format(printf, 1, 2)));
// printf to the error stream.
void printErr(const char* format, ...) __attribute__((format(printf, 1, 2)));
