// Adding up the statistics records of several solver directories.
#pragma once

#include <cstdint>
#include <vector>

#include "results/statistics_records.h"
#include "stats/statistics_table.h"

// The sum of `records`: nodes, seconds (each instance's running time), histogram entries and
// runs by deepest depth added, best the lowest mismatch count with boards in any of them;
// check is 0.
StatsRecord mergeRecords(const std::vector<StatsRecord>& records);
// The node rate of all the records' instances running side by side: the sum of their rates
// (nodeRate, as the solver's report computes one).
std::int64_t sideBySideRate(const std::vector<StatsRecord>& records);
