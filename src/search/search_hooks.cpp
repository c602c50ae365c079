#include "search/search_hooks.h"

SearchHooks searchHooks;
std::atomic<std::int64_t> budgetAttention{0};
std::atomic<bool> stopRequested{false};

void requestRunStop() {
    stopRequested.store(true);
    budgetAttention.store(-1);
}
