// The one error exit of the program.
#pragma once

// Prints "Press enter to exit", waits for one character (or the end of standard input)
// and ends the process with status 1; without waiting, only ends it with status 1.
[[noreturn]] void fatalExit();
