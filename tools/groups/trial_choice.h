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
// Median deepest depths this close count as level: the seed pairs of one candidate spread
// further than this.
inline constexpr double levelDepths = 5;
// The candidate with the best yield, `yields` given in the order of `candidates`: of those whose
// median deepest depth is within levelDepths of the highest, the one with the most full boards on
// the median seed pair, then in all, then the highest median deepest depth; a tie goes to the
// earlier candidate. Depth comes first because full boards in a short trial come from few runs:
// a run that finishes a board finds many more near it, so one lucky run can outweigh a candidate
// whose runs mostly end early (on a generated 16/5 puzzle the derived groups found 16 boards on
// their seed pairs against 2 with the rules off, with a median deepest depth of 157 against 252).
Choice chooseCandidate(const std::array<Yield, 3>& yields);

// The figures of every candidate on one line: "derived groups 0 full boards, median depth 244;
// rules off 0 full boards, median depth 229.5; built-in groups 0 full boards, median depth 58".
std::string yieldsText(const std::array<Yield, 3>& yields);
