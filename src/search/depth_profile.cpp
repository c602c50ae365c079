#include "search/depth_profile.h"

DepthProfile depthProfile;

std::int64_t nodesFromDepth(int depth) {
    const int i = profileIndex(depth);
    if (i < 0) return 0;
    const std::int64_t entered = depthProfile.enteredAt[i];
    return depthProfile.nodesFrom[i] + (entered >= 0 ? search.nodeCount - entered : 0);
}
