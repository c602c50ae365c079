// The search: one specialised step per depth, each calling the next directly.
#pragma once

// The rules the steps of a run apply. The solver's own search tests, counts and requires the
// pieces of the run's piece group in its first depths; a search without group rules places
// any free fitting piece there; the third is that search, also keeping the deepest board of
// the run (deepestBoard). Each has steps of its own, so none pays for the others. The last are
// the steps with options (StepOptions), which searchFromStart chooses for either of the first
// two when an option is asked for: they apply the group rules as the run's set-up left them,
// and with the rules off no piece is flagged and no minimum set, so that nothing is tested,
// counted or required.
enum class StepRules { groups, noGroups, noGroupsKeepingDeepest, withOptions };

// What the steps of a run do besides the search of their rules. Either option runs the search
// on the steps with options, which have the look-ahead (switched on or off for the run) and
// always count where the nodes go; the solver's own steps pay for neither.
struct StepOptions {
    // Refuse a rim placement after which the free edge and corner pieces can no longer close
    // the rim (rim_look_ahead.h); on pieces that do not allow it, it stays off.
    bool rimLookAhead = false;
    // Count the nodes by depth (depth_profile.h).
    bool profile = false;
};

// Runs the search of a run from depth 0 under `rules` (groups, noGroups or
// noGroupsKeepingDeepest) with `options`, which the search that keeps its deepest board has
// none of; returns when the run's whole space has been tried. A budget stop leaves it by the
// RunStopped exception.
void searchFromStart(StepRules rules, StepOptions options = {});
// Runs the search from the step of `depth` (0 to 254) with the board as it stands, under the
// group rules and `options`; for tests and tools that fill the first squares themselves.
void searchFromDepth(int depth, StepOptions options = {});
