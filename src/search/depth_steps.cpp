// The search's entries: the search of a run under its rules, chosen once per run, and the
// steps under the solver's own rules, with the group rules or without.
#include "search/depth_steps.h"

#include "search/depth_step_entries.h"
#include "search/depth_step_templates.h"

namespace {

constexpr auto depthSteps = stepTable<StepRules::groups>(std::make_index_sequence<depthCount>());

// Starts the step options of runOptions for a search under `rules`, turning off those that cannot
// act; whether the search takes the steps with options. A search that keeps its deepest board
// has none, the profile included.
bool startStepOptions(StepRules rules) {
    const bool allowed = rules != StepRules::noGroupsKeepingDeepest;
    if (!allowed) runOptions.of<ProfileOption>() = 0;
    const bool any = StepOptions::start(allowed);
    return any || runOptions.of<ProfileOption>() != 0;
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
    StepOptions::resumeAt(depth);
    stepWithOptions(depth);
}
