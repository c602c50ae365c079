// The run loop on the main thread and the run thread, one run at a time.
#pragma once

// Sets up one run, places the hint piece and searches until the budget stops the run
// (RunStopped) or its whole space has been tried (then returns).
void performRun();
// Body of a run thread: one run, then it marks the run finished.
void runThreadMain();
// Makes the stop signals (SIGINT, SIGTERM, SIGHUP) ask the run to stop, and lets in any that
// came while they were blocked; the first thing the solver does, so that a stop during the
// start-up is taken too, and ends the first run, with its statistics saved. A second signal, a
// second or more after the first, ends the program at once, or after the save of an announced
// board. Standard output whose reader has gone asks for a stop as well.
void catchStopSignals();
// From now on (the statistics read) an end in the middle of a run saves its statistics first.
void saveStatisticsAtEnds();
// The end of the program after a stop: the last report, then "Stopped; the statistics are
// saved in DIR" and status 0, or the failure of the last save and status 1.
[[noreturn]] void endAfterStop();
// Gives every thread of the process the lowest scheduling priority.
void setIdlePriority();
// Seeds mainRandom, starts the idle keeper and runs one run after another, until a stop;
// never returns.
[[noreturn]] void runForever();
