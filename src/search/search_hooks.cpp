#include "search/search_hooks.h"

SearchHooks searchHooks;
RunSignals runSignals;

void requestRunStop() {
    runSignals.stopRequested.store(true);
    runSignals.budgetAttention.store(-1);
}
