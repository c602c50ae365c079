#include "base/guarded_saves.h"

#include <atomic>

namespace {

// One word for both facts, so that the signal handler and the saving thread never miss each
// other: whichever changes it second sees what the first did.
constexpr unsigned saving = 1;
constexpr unsigned endHeld = 2;
std::atomic<unsigned> guardedSave{0};
static_assert(std::atomic<unsigned>::is_always_lock_free, "used in a signal handler");

}  // namespace

void beginGuardedSave() {
    guardedSave.fetch_or(saving);
}

void endGuardedSave() {
    if ((guardedSave.exchange(0) & endHeld) == 0) return;
    saveStatisticsBeforeEnd();
    if (process.endStopped != nullptr) process.endStopped();
}

void dropGuardedSave() {
    guardedSave.store(0);
}

bool holdEndDuringGuardedSave() {
    unsigned state = guardedSave.load();
    while ((state & saving) != 0)
        if (guardedSave.compare_exchange_weak(state, state | endHeld)) return true;
    return false;
}

void saveStatisticsBeforeEnd() {
    if (process.saveStatistics != nullptr) process.saveStatistics();
}
