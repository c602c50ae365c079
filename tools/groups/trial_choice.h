// The choices after the trial: which candidate for k7groups.txt did best in equal node budgets
// on the user's own puzzle, and whether a search option did better on the chosen groups than
// without it, judged by what the runs reached per minute of CPU time.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "search/search_options.h"
#include "tools/common/yield_sweep.h"

// What k7groups.txt can hold.
enum class Candidate { derived, off, builtIn };
// The candidates in the order that settles a tie: the derived groups (what tessaly-groups wrote
// before it tried anything) first, then the rules off, then the built-in groups.
inline constexpr std::array<Candidate, 3> candidates{Candidate::derived, Candidate::off,
                                                     Candidate::builtIn};

// Its name in the report and the groups file: "derived groups", "rules off", "built-in groups".
const char* candidateName(Candidate candidate);

// The depth that makes a run a deep run in the choice: the deepest depth a run must reach.
inline constexpr int deepRunDepth = 248;

// What a setting reached on the trial's seed pairs together.
struct Yield {
    std::int64_t fullBoards = 0;
    int pairsWithBoards = 0;    // seed pairs on which it found a full board
    std::int64_t deepRuns = 0;  // runs whose deepest depth reached deepRunDepth
    double medianDepth = -1;    // the median of the seed pairs' median deepest depths
    int bestScore = 0;          // 0 without a full board
    double cpuSeconds = 0;
    double boardsPerMinute() const;
    double deepRunsPerMinute() const;
};
Yield yieldOf(const std::vector<YieldRow>& pairs);

// Full boards count only when a setting found them on this many seed pairs: a run that finishes
// a board finds many more near it, so boards of one lucky run say little.
inline constexpr int pairsWithBoardsThatCount = 2;

struct Choice {
    std::size_t chosen;  // the place of the winner in the yields given
    bool tie;            // whether the winner only won the tie against another
    std::string reason;  // why, in words
};
// The best of `yields` (named by `names`, in the order that settles a tie): when one of them
// found full boards on pairsWithBoardsThatCount seed pairs or more, the most full boards per
// CPU-minute; otherwise the most runs reaching deepRunDepth per CPU-minute, then the highest
// median deepest depth.
Choice chooseYield(const std::vector<Yield>& yields, const std::vector<std::string>& names);

// What becomes of a search option the trial tried: the value to write (0: none) and the word
// for it in the report ("written", "not written", "kept, ...", "dropped, ...").
struct OptionVerdict {
    std::int64_t value;
    std::string said;
    std::string reason;  // the choice's reason
};
// The verdict on an option tried with the value `tried` on the chosen setting, whose figures
// were `without` and `with` it, when the file replaced had the value `kept` (0: not the word),
// judged by `figure` (by full boards alone, neither side having found them on
// pairsWithBoardsThatCount seed pairs tells nothing). Written when it did better; a kept word
// stays unless it did worse.
OptionVerdict judgeOption(const Yield& without, const Yield& with, std::int64_t tried,
                          std::int64_t kept, const std::string& withoutName,
                          const std::string& withName, TrialFigure figure);

// A setting's figures in a few words: "0 full boards, 3 runs reaching 248, median depth 244".
std::string yieldText(const Yield& yield);
