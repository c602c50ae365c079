// Start values for the state of a run and of the whole program. Each layer keeps its state in
// records, one instance each: a record for the run and one for the process where the layer has
// both. A reset assigns fresh ones. The run loop starts every run with resetRun; the tests, the
// fuzz targets and the tools start from resetProgram.
#pragma once

// Starts the run's records afresh: the puzzle's (ordering colours, list edits, colour-count
// terms), the search's (progress, group flags, shallow copies; its hooks installed again), the
// run's options with their records, the run's statistics, and its draws and budget.
void resetRun();
// Starts the process's records afresh, the run's included: the program's (settings, random
// generators seeded with their start seed, clocks running again), the results' (full boards,
// tally line, deepest board, board loading's faults, statistics), the statistics file's and the
// run set-up's. Left as they are, on purpose: the puzzle's tables (the pieces and lists as the
// last piece file made them; the index of the edited lists is rebuilt from them), the process
// hooks (console streams, the ends) and the cross-thread stop signals.
void resetProgram();
