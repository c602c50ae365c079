// What the top layer keeps for the current run, in one record: what the run drew at its start
// and its budget. resetRun starts every run from a fresh one.
#pragma once

#include "run/run_budget.h"
#include "run/run_setup.h"

struct CurrentRun {
    RunDraws draws;
    RunBudget budget;
};
// The one instance.
extern CurrentRun currentRun;
