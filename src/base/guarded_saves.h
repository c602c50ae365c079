// Saves that no stop may cut short, and what the program does when it must end in a run.
//
// A second stop signal ends the solver at once. During the save of a board that has been
// announced, that end waits until the board is on the disk (or printed), so that no stop
// loses a board the program said it found.
#pragma once

#include "base/process_hooks.h"

// Marks the start of a guarded save (one at a time).
void beginGuardedSave();
// Marks its end. When a stop that would have ended the program came meanwhile, saves the
// statistics and ends the program through the process hooks, and does not return.
void endGuardedSave();
// Ends a guarded save without acting on a held stop, before the program ends anyway.
void dropGuardedSave();
// For the stop signal handler, whose signal would end the program at once: true when a
// guarded save is running, in which case the end is held until the save is done.
bool holdEndDuringGuardedSave();

// Saves the statistics through the process hooks, when the program set it: before an end that
// would otherwise lose what was counted since the last save.
void saveStatisticsBeforeEnd();
