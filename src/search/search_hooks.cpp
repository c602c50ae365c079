#include "search/search_hooks.h"

RunSignals runSignals;

void requestRunStop() {
    runSignals.stopRequested.store(true);
    runSignals.budgetAttention.store(-1);
}
