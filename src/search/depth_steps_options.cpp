// The steps with options (the rim look-ahead, the profile), in a translation unit of their own.
#include "search/depth_step_entries.h"
#include "search/depth_step_templates.h"

namespace {
constexpr auto depthStepsWithOptions =
    stepTable<StepRules::withOptions>(std::make_index_sequence<depthCount>());
}  // namespace

void searchWithOptions() {
    searchUnder<StepRules::withOptions>();
}

void stepWithOptions(int depth) {
    depthStepsWithOptions[depth]();
}
