// What the top level of a program (or a test) sets once for the whole process, and no reset
// touches: where the console output goes and how the program ends in the middle of a run.
#pragma once

#include <cstdio>

struct ProcessHooks {
    // Streams that console output goes to; standard output and error unless a test swaps them.
    std::FILE* consoleOut = stdout;
    std::FILE* consoleErr = stderr;
    // Called when a print to the output stream finds that its reader has gone (EPIPE), when set;
    // the solver makes it a stop.
    void (*onOutputGone)() = nullptr;
    // What ends the program in the middle of a run. The statistics live above the layers that
    // save boards, so the solver's top level sets these once its statistics are read; unset (the
    // companions, the tests), they do nothing. saveStatistics saves the statistics of the run so
    // far; endStopped ends the program after a stop, as a stop between runs does, and does not
    // return.
    void (*saveStatistics)() = nullptr;
    void (*endStopped)() = nullptr;
    // Whether fatalExit waits for the user; the bench and the groups trial, which run
    // unattended, turn it off.
    bool fatalExitWaits = true;
};
// The one instance.
extern ProcessHooks process;
