// The search: one specialised step per depth, each calling the next directly.
#pragma once

// The rules the steps of a run apply. The solver's own search tests, counts and requires the
// pieces of the run's piece group in its first depths; a search without group rules places
// any free fitting piece there; the third is that search, also keeping the deepest board of
// the run (deepestBoard). Each has steps of its own, so none pays for the others. The last are
// the steps with options, which searchFromStart chooses for either of the first two when a
// step option of runOptions (the rim look-ahead, the profile) is really on: they apply the
// group rules as the run's set-up left them, and with the rules off no piece is flagged and no
// minimum set, so that nothing is tested, counted or required. The steps with options have the
// look-ahead (switched on or off for the run) and always count where the nodes go; the
// solver's own steps pay for neither.
enum class StepRules { groups, noGroups, noGroupsKeepingDeepest, withOptions };

// Runs the search of a run from depth 0 under `rules` (groups, noGroups or
// noGroupsKeepingDeepest) with the step options of runOptions, which the search that keeps its
// deepest board has none of; an option the pieces do not allow is turned off in runOptions
// first. Returns when the run's whole space has been tried; a budget stop leaves it by the
// RunStopped exception.
void searchFromStart(StepRules rules);
// Runs the search from the step of `depth` (0 to 254) with the board as it stands, under the
// group rules and the step options of runOptions; for tests and tools that fill the first
// squares themselves.
void searchFromDepth(int depth);
