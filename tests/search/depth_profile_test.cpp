#include "search/depth_profile.h"

#include <gtest/gtest.h>

#include "search/depth_windows.h"

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
    runRecord<DepthProfile>().nodesFrom[i] = 500;  // entries into depth 248 that have returned
    EXPECT_EQ(nodesFromDepth(248), 500);
    search.nodeCount = 1'000;
    runRecord<DepthProfile>().enteredAt[i] = 900;  // and one that runs, entered 100 nodes ago
    EXPECT_EQ(nodesFromDepth(248), 600);
    EXPECT_EQ(nodesFromDepth(247 - 100), 0) << "no depth outside the profile";
}

TEST(DepthProfile, ADeadEndIsPutDownToTheRimTheBoundTheMismatchLimitOrNoFit) {
    // No piece is a rim piece here, so the rim closes as far as the test can tell, unless the
    // look-ahead refused a piece at the square.
    const struct {
        const char* name;
        int mismatches;
        bool rimRefused;
        bool boundRefused;
        DeadEnd ended;
    } cases[] = {
        {"RimRefused", 0, true, true, DeadEnd::rim},
        {"BoundRefusedAtTheLimit", mismatchLimitOf(250), false, true, DeadEnd::bound},
        {"LimitReached", mismatchLimitOf(250), false, false, DeadEnd::mismatchLimit},
        {"BelowTheLimit", mismatchLimitOf(250) - 1, false, false, DeadEnd::noFit},
    };
    for (const auto& c : cases) {
        resetProgram();
        search.mismatchCount = c.mismatches;
        noteDeadEnd(250, c.rimRefused, c.boundRefused);
        EXPECT_EQ(runRecord<DepthProfile>().deadEndDepth, 249) << c.name;
        EXPECT_EQ(runRecord<DepthProfile>().deadEnd, c.ended) << c.name;
    }
    resetProgram();
    noteDeadEnd(depthCount - 1, false, false);  // the last square allows no mismatch
    EXPECT_EQ(runRecord<DepthProfile>().deadEnd, DeadEnd::noFit);
}
