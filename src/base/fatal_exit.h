// The one error exit of the program.
#pragma once

// Whether fatalExit waits for the user; the benchmark, which runs unattended, turns it off.
extern bool fatalExitWaits;

// Prints "Press enter to exit", waits for one character (or the end of standard input)
// and ends the process with status 1; without waiting, only ends it with status 1.
[[noreturn]] void fatalExit();
