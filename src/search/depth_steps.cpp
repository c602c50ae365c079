// The search's entries: the search of a run under its rules, chosen once per run, and the
// steps under the solver's own rules, with the group rules or without.
#include "search/depth_steps.h"

#include "base/settings.h"

#include "search/depth_step_entries.h"
#include "search/depth_step_templates.h"

namespace {

constexpr auto depthSteps = stepTable<StepRules::groups>(std::make_index_sequence<depthCount>());

// Starts the step options of runOptions for a search under `rules`, turning off those that cannot
// act; whether the search takes the steps with options.
bool startStepOptions(StepRules rules) {
    rim.on = false;
    if (rules == StepRules::noGroupsKeepingDeepest) {
        runOptions.rimLookAhead = 0;
        runOptions.profile = 0;
        runOptions.mismatchBound = 0;
    }
    if (runOptions.rimLookAhead != 0 && !startRimLookAhead()) runOptions.rimLookAhead = 0;
    // The bound counts the squares as the fill order fills them; a board file may have filled
    // deeper ones, so a run from one does without it.
    if (settings.boardPath[0] != '\0') runOptions.mismatchBound = 0;
    bound.on = runOptions.mismatchBound != 0;
    return runOptions.rimLookAhead != 0 || runOptions.profile != 0 || runOptions.mismatchBound != 0;
}

}  // namespace

void searchWithGroupRules() {
    searchUnder<StepRules::groups>();
}

void searchWithoutGroupRules() {
    searchUnder<StepRules::noGroups>();
}

void stepUnderGroupRules(int depth) {
    depthSteps[depth]();
}

void searchFromStart(StepRules rules) {
    if (startStepOptions(rules))
        searchWithOptions();
    else if (rules == StepRules::groups)
        searchWithGroupRules();
    else if (rules == StepRules::noGroups)
        searchWithoutGroupRules();
    else
        searchKeepingDeepest();
}

void searchFromDepth(int depth) {
    if (!startStepOptions(StepRules::groups)) {
        stepUnderGroupRules(depth);
        return;
    }
    if (rim.on && depth > firstRimCheckDepth) countFreeRimPieces();
    // The bound counts its sides on entering its first depth; a search from below it goes on
    // without it.
    if (depth > firstBoundDepth) bound.on = false;
    stepWithOptions(depth);
}
