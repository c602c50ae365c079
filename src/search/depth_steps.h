// The search: one specialised step per depth, each calling the next directly.
#pragma once

// The rules the steps of a run apply. The solver's own search tests, counts and requires the
// pieces of the run's piece group in its first depths; a search without group rules places
// any free fitting piece there; the third is that search, also keeping the deepest board of
// the run (deepestBoard). Each has steps of its own, so none pays for the others.
enum class StepRules { groups, noGroups, noGroupsKeepingDeepest };

// Runs the search of a run from depth 0 under `rules`; returns when the run's whole space has
// been tried. A budget stop leaves it by the RunStopped exception.
void searchFromStart(StepRules rules);
// Runs the search from the step of `depth` (0 to 254) with the board as it stands, under the
// group rules; for tests and tools that fill the first squares themselves.
void searchFromDepth(int depth);
