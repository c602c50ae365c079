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
    // What counts, in order: full boards on the median seed pair, the median deepest depth,
    // and then full boards in all.
    const auto keys = [](const Yield& y) {
        return std::array<double, 3>{y.medianBoards, y.medianDepth,
                                     static_cast<double>(y.fullBoards)};
    };
    std::size_t best = 0;
    for (std::size_t i = 1; i < yields.size(); ++i)
        if (keys(yields[i]) > keys(yields[best])) best = i;
    const Yield& winner = yields[best];

    // The others still level with the winner, narrowed key by key; each step says what
    // decided, or with whom the winner stayed level.
    std::vector<std::size_t> level;
    for (std::size_t i = 0; i < yields.size(); ++i)
        if (i != best) level.push_back(i);
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
    const std::string boards = std::to_string(winner.fullBoards);
    const std::string median = number(winner.medianBoards);
    const std::string depth = number(winner.medianDepth);
    std::string reason;
    if (winner.medianBoards == 0) {
        reason = "no candidate had full boards on most seed pairs";
        narrow(0);
    } else {
        const std::string same = narrow(0);
        reason = same.empty() ? "the most full boards on the median seed pair (" + median + ")"
                              : "as many full boards on the median seed pair as " + same + " (" +
                                    median + ")";
    }
    if (!level.empty()) {
        const std::string same = narrow(1);
        reason += same.empty()
                      ? ", and the highest median deepest depth (" + depth + ")"
                      : ", and as high a median deepest depth as " + same + " (" + depth + ")";
    }
    if (!level.empty()) {
        const std::string same = narrow(2);
        reason += same.empty() ? ", and the most full boards (" + boards + ")"
                               : ", and as many full boards as " + same + " (" + boards + ")";
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
