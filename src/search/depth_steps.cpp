// The search's entries: the search of a run under its rules, chosen once per run, and the
// steps under the solver's own rules, with the group rules or without.
#include "search/depth_steps.h"

#include "search/depth_step_entries.h"
#include "search/depth_step_templates.h"

namespace {

constexpr auto depthSteps = stepTable<StepRules::groups>(std::make_index_sequence<depthCount>());

// Starts the step options of runOptions for a search under `rules`, turning off those that cannot
// act; whether the search takes the steps with options.
template <class... Option>
bool startStepOptions(StepRules rules, OptionList<Option...>) {
    if (rules == StepRules::noGroupsKeepingDeepest) runOptions.of<ProfileOption>() = 0;
    bool any = runOptions.of<ProfileOption>() != 0;
    const auto start = [&]<class O>() {
        if constexpr (ActsInSteps<O>) {
            std::int64_t& value = runOptions.of<O>();
            value = O::startSteps(rules == StepRules::noGroupsKeepingDeepest ? 0 : value);
            any = any || value != 0;
        }
    };
    (start.template operator()<Option>(), ...);
    return any;
}

bool startStepOptions(StepRules rules) {
    return startStepOptions(rules, SearchOptionList{});
}

template <class... Option>
void resumeStepOptions(int depth, OptionList<Option...>) {
    const auto resume = [depth]<class O>() {
        if constexpr (ActsInSteps<O>) O::resumeAt(depth);
    };
    (resume.template operator()<Option>(), ...);
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
    resumeStepOptions(depth, SearchOptionList{});
    stepWithOptions(depth);
}
