// The trial after the harvest: every candidate for k7groups.txt measured on the user's own
// puzzle by tessaly-bench, run as child processes beside this program, each candidate with the
// same node budget on the same seed pairs.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/yield_sweep.h"
#include "tools/groups/trial_choice.h"

inline constexpr int trialSeedPairCount = 3;

struct TrialOptions {
    std::int64_t nodes = 1'000'000'000;  // the budget of each candidate on each seed pair
    int jobs = 1;                        // benchmarks at once
    std::uint32_t seed = 1;              // the seed pairs come from it
    bool progress = false;               // a progress line on the error stream
};

// The seed pairs of the trial for `seed`: 1000 seed + 1,2, then + 3,4 and + 5,6 (modulo 2^32),
// apart from the small pairs one measures by hand.
std::array<SeedPair, trialSeedPairCount> trialSeedPairs(std::uint32_t seed);

// The tessaly-bench in the directory of this program, or an empty text when there is none.
std::string benchBesideThisProgram();

// The trial of the puzzle k7pieces.txt in the current directory: `bench` run for every
// candidate on every seed pair, the derived candidate read from a private copy of
// `derivedText`. Returns the figures by candidate (in the order of `candidates`), then by seed
// pair; or sets `error`. The benchmarks end with it, however it ends: an error, or a stop
// signal, which ends this program too once they are gone.
std::array<std::vector<BenchFigures>, 3> runTrial(const std::string& bench,
                                                  const std::string& derivedText,
                                                  const TrialOptions& options, std::string& error);
