#include "search/depth_profile.h"

#include "search/depth_windows.h"
#include "search/rim_look_ahead.h"

DepthProfile depthProfile;

std::int64_t nodesFromDepth(int depth) {
    DepthProfile& depthProfile = runRecord<DepthProfile>();
    const int i = profileIndex(depth);
    if (i < 0) return 0;
    const std::int64_t entered = depthProfile.enteredAt[i];
    return depthProfile.nodesFrom[i] + (entered >= 0 ? search.nodeCount - entered : 0);
}

void noteDeadEnd(int depth, bool rimRefused, bool boundRefused) {
    DepthProfile& depthProfile = runRecord<DepthProfile>();
    depthProfile.deadEndDepth = depth - 1;
    // The look-ahead's kinds, sorted once in a run that judges without the look-ahead on.
    if (!runRecord<RimLookAhead>().kindsSorted && !runRecord<RimLookAhead>().on) sortRimKinds();
    const int limit = mismatchLimitOf(depth);
    if (rimRefused || !rimClosesAsPlaced(depth - 1))
        depthProfile.deadEnd = DeadEnd::rim;
    else if (boundRefused)
        depthProfile.deadEnd = DeadEnd::bound;
    else if (limit > 0 && search.mismatchCount >= limit)
        depthProfile.deadEnd = DeadEnd::mismatchLimit;
    else
        depthProfile.deadEnd = DeadEnd::noFit;
}
