// The steps of a search without group rules that keeps its deepest board (tessaly-groups'
// harvest), in a translation unit of their own.
#include "search/depth_step_entries.h"
#include "search/depth_step_templates.h"

void searchKeepingDeepest() {
    searchUnder<StepRules::noGroupsKeepingDeepest>();
}
