// The choice after the trial: which of the three candidates for k7groups.txt did best in equal
// node budgets on the user's own puzzle, judged by figures that do not depend on timing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What k7groups.txt can hold.
enum class Candidate { derived, off, builtIn };
// The candidates in the order that settles a tie: the derived groups (what tessaly-groups wrote
// before it tried anything) first, then the rules off, then the built-in groups.
inline constexpr std::array<Candidate, 3> candidates{Candidate::derived, Candidate::off,
                                                     Candidate::builtIn};

// Its name in the report and the groups file: "derived groups", "rules off", "built-in groups".
const char* candidateName(Candidate candidate);

// What one benchmark of a candidate on one seed pair printed, and the CPU time it took.
struct BenchFigures {
    std::int64_t nodes = 0;
    int fullBoards = 0;
    int bestScore = 0;  // 0 without a full board
    double medianDepth = -1;
    double cpuSeconds = 0;
};

// What a candidate reached on all seed pairs together.
struct Yield {
    double medianBoards = 0;  // the median of the seed pairs' full boards
    int fullBoards = 0;       // on all seed pairs
    double medianDepth = -1;  // the median of the seed pairs' median deepest depths
    int bestScore = 0;
    double cpuSeconds = 0;
};
Yield yieldOf(const std::vector<BenchFigures>& pairs);

struct Choice {
    Candidate chosen;
    std::string reason;  // why, in words: "the most full boards (3)"
};
// The candidate with the best yield, `yields` given in the order of `candidates`. Full boards
// count first, as the median of the seed pairs: a run that finishes a board finds many more near
// it, so most of a candidate's boards can come from one lucky run and say little about it (on a
// generated 16/4 puzzle the derived groups found 125, 10 and 8 boards on three seed pairs with a
// median deepest depth of 102, the rules off 59, 18 and 32 with 254). So: the most full boards
// on the median seed pair, then the highest median deepest depth, then the most full boards in
// all; a tie goes to the earlier candidate.
Choice chooseCandidate(const std::array<Yield, 3>& yields);

// The figures of every candidate on one line: "derived groups 0 full boards, median depth 244;
// rules off 0 full boards, median depth 229.5; built-in groups 0 full boards, median depth 58".
std::string yieldsText(const std::array<Yield, 3>& yields);
