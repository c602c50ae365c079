#include "run/current_run.h"

CurrentRun currentRun;
