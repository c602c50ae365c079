// The search: one specialised step per depth, each calling the next directly.
#pragma once

// Runs the search of a run from depth 0; returns when the run's whole space has been tried.
// A budget stop leaves it by the RunStopped exception.
void searchFromStart();
// Runs the search from the step of `depth` (0 to 254) with the board as it stands; for
// tests and tools that fill the first squares themselves.
void searchFromDepth(int depth);
