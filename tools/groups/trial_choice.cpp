#include "tools/groups/trial_choice.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// "the rules off", "the rules off and the built-in groups".
std::string namesOf(const std::vector<Candidate>& list) {
    std::string text;
    for (const Candidate candidate : list) {
        if (!text.empty()) text += " and ";
        text += "the ";
        text += candidateName(candidate);
    }
    return text;
}

// The median of `values`, -1 for none.
double medianOf(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

const char* candidateName(Candidate candidate) {
    switch (candidate) {
        case Candidate::derived:
            return "derived groups";
        case Candidate::off:
            return "rules off";
        case Candidate::builtIn:
            return "built-in groups";
    }
    return "";
}

Yield yieldOf(const std::vector<BenchFigures>& pairs) {
    Yield yield;
    std::vector<double> boards;
    std::vector<double> medians;
    for (const BenchFigures& pair : pairs) {
        yield.fullBoards += pair.fullBoards;
        yield.bestScore = std::max(yield.bestScore, pair.bestScore);
        yield.cpuSeconds += pair.cpuSeconds;
        boards.push_back(pair.fullBoards);
        medians.push_back(pair.medianDepth);
    }
    yield.medianBoards = std::max(0.0, medianOf(boards));
    yield.medianDepth = medianOf(medians);
    return yield;
}

Choice chooseCandidate(const std::array<Yield, 3>& yields) {
    double deepest = yields[0].medianDepth;
    for (const Yield& y : yields)
        deepest = std::max(deepest, y.medianDepth);
    // The contenders: median deepest depths within levelDepths of the deepest. Among them, what
    // counts in order: full boards on the median seed pair, full boards in all, median depth.
    const auto keys = [](const Yield& y) {
        return std::array<double, 3>{y.medianBoards, static_cast<double>(y.fullBoards),
                                     y.medianDepth};
    };
    std::vector<std::size_t> level;
    for (std::size_t i = 0; i < yields.size(); ++i)
        if (yields[i].medianDepth >= deepest - levelDepths) level.push_back(i);
    std::size_t best = level.front();
    for (const std::size_t i : level)
        if (keys(yields[i]) > keys(yields[best])) best = i;
    const Yield& winner = yields[best];
    std::erase(level, best);

    // The others still level with the winner, narrowed key by key; each step says what
    // decided, or with whom the winner stayed level.
    const auto narrow = [&](int key) {
        std::vector<std::size_t> still;
        std::vector<Candidate> names;
        for (const std::size_t i : level)
            if (keys(yields[i])[key] == keys(winner)[key]) {
                still.push_back(i);
                names.push_back(candidates[i]);
            }
        level = still;
        return namesOf(names);
    };
    const std::string depth = number(winner.medianDepth);
    const std::string within = number(levelDepths);
    if (level.empty())
        return {candidates[best], "the highest median deepest depth (" + depth +
                                      "), the others more than " + within + " below it"};
    std::vector<Candidate> contenders;
    for (const std::size_t i : level)
        contenders.push_back(candidates[i]);
    std::string reason = "a median deepest depth (" + depth + ") within " + within +
                         " of the highest, as " + namesOf(contenders) + " had";
    const std::string median = number(winner.medianBoards);
    std::string same = narrow(0);
    reason += same.empty() ? ", and the most full boards on the median seed pair (" + median + ")"
                           : ", and as many full boards on the median seed pair as " + same + " (" +
                                 median + ")";
    if (!level.empty()) {
        const std::string boards = std::to_string(winner.fullBoards);
        same = narrow(1);
        reason += same.empty()
                      ? ", and the most full boards in all (" + boards + ")"
                      : ", and as many full boards in all as " + same + " (" + boards + ")";
    }
    if (!level.empty()) {
        same = narrow(2);
        reason += same.empty() ? ", and the higher median deepest depth"
                               : ", and as high a median deepest depth as " + same;
    }
    if (!level.empty()) reason += "; a tie goes to the derived groups, then to the rules off";
    return {candidates[best], reason};
}

std::string yieldsText(const std::array<Yield, 3>& yields) {
    std::string text;
    for (std::size_t i = 0; i < yields.size(); ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "%s%s %d full boards, median depth %g", i > 0 ? "; " : "",
                      candidateName(candidates[i]), yields[i].fullBoards, yields[i].medianDepth);
        text += line;
    }
    return text;
}
