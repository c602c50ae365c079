#include "search/depth_profile.h"

#include <gtest/gtest.h>

#include "run/resets.h"
#include "search/search_state.h"

TEST(DepthProfile, BandsStartAtProfiledDepthsAndEveryDeepDepthIsProfiled) {
    for (std::size_t b = 1; b < profileBandStarts.size(); ++b)
        EXPECT_GE(profileIndex(profileBandStarts[b]), 0) << profileBandStarts[b];
    for (int d = firstProfiledDeepDepth; d < depthCount; ++d)
        EXPECT_GE(profileIndex(d), 0) << d;
    EXPECT_EQ(profileIndex(firstProfiledDeepDepth - 1), -1);
}

TEST(DepthProfile, NodesFromADepthCountThoseOfAStepStillRunning) {
    resetProgram();
    const int i = profileIndex(248);
    depthProfile.nodesFrom[i] = 500;  // entries into depth 248 that have returned
    EXPECT_EQ(nodesFromDepth(248), 500);
    search.nodeCount = 1'000;
    depthProfile.enteredAt[i] = 900;  // and one that runs, entered 100 nodes ago
    EXPECT_EQ(nodesFromDepth(248), 600);
    EXPECT_EQ(nodesFromDepth(247 - 100), 0) << "no depth outside the profile";
}
