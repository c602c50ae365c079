// The farm's supervision of its instances: it starts them, passes every stop it receives on to
// them, restarts those that end on their own, relays their output and their boards, refreshes
// the status line, the history and the page, and says how the farm ended.
#pragma once

#include <vector>

#include "tools/farm/farm_options.h"
#include "tools/farm/instances.h"

// Takes the stop signals (Ctrl-C, kill, a closed terminal), then runs the farm of `instances`
// (numbered, with their directories and the boards of earlier starts noted) until every one has
// ended: after a stop, or when each ended on its own too often. Returns the farm's exit status.
int superviseFarm(const FarmOptions& options, const LaunchPlan& plan,
                  std::vector<Instance>& instances);
