#include "results/results_state.h"

ResultsState results;
