// The state the lowest layer keeps for the whole process, in one record: the settings, the random
// generators and the tests' stopped clock. resetProgram starts again from a fresh one.
#pragma once

#include <cstdint>
#include <optional>

#include "base/random.h"
#include "base/settings.h"

struct ProgramState {
    Settings settings;
    // The program's two generators, which must go on from draw to draw across the whole
    // process. Each starts seeded with startSeed and is seeded again by the run loop, the bench
    // or the harvest before it is drawn from. mainRandom feeds the colour choice, the candidate
    // ordering and the random words of record boards; groupRandom only the choice of each run's
    // piece group.
    RandomState mainRandom = seededRandom(startSeed);
    RandomState groupRandom = seededRandom(startSeed);
    // A stopped clock for the tests: while it holds a time, monotonicMs() and programClockMs()
    // both read it, so that what is made of the time does not hang on how fast a test runs. No
    // program sets it.
    std::optional<std::int64_t> stoppedClockMs;
};
// The one instance.
extern ProgramState program;
