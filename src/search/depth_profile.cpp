#include "search/depth_profile.h"

#include "search/depth_windows.h"
#include "search/rim_look_ahead.h"

DepthProfile depthProfile;

std::int64_t nodesFromDepth(int depth) {
    const int i = profileIndex(depth);
    if (i < 0) return 0;
    const std::int64_t entered = profileRecord().enteredAt[i];
    return profileRecord().nodesFrom[i] + (entered >= 0 ? search.nodeCount - entered : 0);
}

void noteDeadEnd(int depth, bool rimRefused, bool boundRefused) {
    profileRecord().deadEndDepth = depth - 1;
    // The look-ahead's kinds, sorted once in a run that judges without the look-ahead on.
    if (!rimRecord().kindsSorted && !rimRecord().on) sortRimKinds();
    const int limit = mismatchLimitOf(depth);
    if (rimRefused || !rimClosesAsPlaced(depth - 1))
        profileRecord().deadEnd = DeadEnd::rim;
    else if (boundRefused)
        profileRecord().deadEnd = DeadEnd::bound;
    else if (limit > 0 && search.mismatchCount >= limit)
        profileRecord().deadEnd = DeadEnd::mismatchLimit;
    else
        profileRecord().deadEnd = DeadEnd::noFit;
}
