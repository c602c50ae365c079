// Start values for the state of a run and of the whole program: every record back to what it
// holds before anything ran. The run loop starts every run with resetRun; the tests, the fuzz
// targets and the tools start from resetProgram.
#pragma once

// Restores every record of the current run: the search state, the ordering's colours, the rim
// look-ahead and the depth profile, the list edits, the shallow copies, the run's statistics
// and its budget.
void resetRun();
// Restores every record of the process to its start values, the run's included: the settings,
// the clocks (running again), the random generators (seeded with their start seed), the ordering
// history, the board loading's last faults, the full-board count and tally line, the statistics and
// the run set-up. The pieces and candidate lists are left as the last piece file made them, and the
// index of the edited lists is rebuilt from them; the console streams and the cross-thread
// stop flags stay as they are, on purpose. The search's hooks are installed.
void resetProgram();
// Sets the functions the search calls outside its layer (searchHooks): the handling of a full
// board, the run budget's rules and the end of a run. Every run and resetProgram do it.
void installSearchHooks();
