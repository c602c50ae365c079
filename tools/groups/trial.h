// The trial after the harvest: every candidate for k7groups.txt measured on the user's own
// puzzle by tessaly-bench, run as child processes beside this program, each candidate with the
// same node budget on the same seed pairs; then the search options that the trial tries, each
// on the chosen candidate against it without the option.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/search_options.h"
#include "tools/common/yield_sweep.h"
#include "tools/groups/trial_choice.h"

inline constexpr int trialSeedPairCount = 3;
// The seed pairs on which a search option is judged: the candidates' three and six more, the
// chosen candidate without the option measured on the six too. An option such as the rim
// look-ahead changes what few runs find, so three pairs seldom tell it from its absence: on a
// 16/5 puzzle its full boards were those without it on all three, yet twice as many over 15.
inline constexpr int optionTrialSeedPairCount = 9;

struct TrialOptions {
    std::int64_t nodes = 1'000'000'000;  // the budget of each setting on each seed pair
    int jobs = 1;                        // benchmarks at once
    std::uint32_t seed = 1;              // the seed pairs come from it
    bool progress = false;               // a progress line on the error stream
};

// The first `count` seed pairs of the trial for `seed`: 1000 seed + 1,2, then + 3,4, + 5,6 and
// so on (modulo 2^32), apart from the small pairs one measures by hand.
std::vector<SeedPair> trialSeedPairs(std::uint32_t seed, int count = trialSeedPairCount);

// The tessaly-bench in the directory of this program, or an empty text when there is none.
std::string benchBesideThisProgram();

// What the trial decided: the candidate, the search options to write and the comment lines that
// say why, for the groups file.
struct TrialOutcome {
    Candidate chosen = Candidate::derived;
    SearchOptions options;
    std::vector<std::string> comments;
};

// The trial of the puzzle k7pieces.txt in the current directory with `bench`: every candidate on
// every seed pair (the derived one read from a private copy of `derivedText`), then every search
// option that the trial tries (trialValue in the table; an option the pieces do not allow is not
// tried) on the chosen candidate, over optionTrialSeedPairCount seed pairs, with the value `kept`
// gives it where the file replaced had the word. An option is written when it did better than the
// chosen candidate without it; a word of `kept` stays unless the trial measured it worse, and so
// does every word the trial does not try. Prints what each setting reached and each choice as it
// goes. Sets `error` when a benchmark fails; a stop signal ends the benchmarks, then this program
// as the signal would have.
TrialOutcome runTrial(const std::string& bench, const std::string& derivedText,
                      const SearchOptions& kept, const TrialOptions& options, std::string& error);
