#include "tools/groups/trial_choice.h"

#include <algorithm>
#include <cstdio>

#include "base/clocks.h"
#include "base/formatted_text.h"
#include "base/medians.h"

namespace {

// "the rules off", "the rules off and the built-in groups".
std::string namesOf(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty()) text += " and ";
        text += "the " + name;
    }
    return text;
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

double Yield::boardsPerMinute() const {
    return cpuSeconds > 0 ? fullBoards * secondsPerMinute / cpuSeconds : 0;
}

double Yield::deepRunsPerMinute() const {
    return cpuSeconds > 0 ? deepRuns * secondsPerMinute / cpuSeconds : 0;
}

Yield yieldOf(const std::vector<YieldRow>& pairs) {
    constexpr int band = bandIndex(deepRunDepth);
    static_assert(band >= 0, "a deep run is counted in a band of every sweep");
    Yield yield;
    std::vector<double> medians;
    for (const YieldRow& pair : pairs) {
        yield.fullBoards += pair.fullBoards;
        yield.pairsWithBoards += pair.fullBoards > 0;
        yield.deepRuns += pair.runsReaching[band];
        yield.bestScore = std::max(yield.bestScore, pair.bestScore);
        yield.cpuSeconds += pair.cpuSeconds;
        medians.push_back(pair.medianDepth);
    }
    yield.medianDepth = medianOf(medians);
    return yield;
}

Choice chooseYield(const std::vector<Yield>& yields, const std::vector<std::string>& names) {
    const bool byBoards = std::any_of(yields.begin(), yields.end(), [](const Yield& y) {
        return y.pairsWithBoards >= pairsWithBoardsThatCount;
    });
    const auto keys = [byBoards](const Yield& y) {
        return byBoards ? std::array<double, 2>{y.boardsPerMinute(), 0}
                        : std::array<double, 2>{y.deepRunsPerMinute(), y.medianDepth};
    };
    std::size_t best = 0;
    for (std::size_t i = 1; i < yields.size(); ++i)
        if (keys(yields[i]) > keys(yields[best])) best = i;
    std::vector<std::string> level;
    for (std::size_t i = 0; i < yields.size(); ++i)
        if (i != best && keys(yields[i]) == keys(yields[best])) level.push_back(names[i]);
    const Yield& winner = yields[best];
    std::string reason;
    if (byBoards) {
        reason = "the most full boards per CPU-minute";
    } else {
        reason = printed("%s runs reaching depth %d per CPU-minute",
                         level.empty() ? "the most" : "as many", deepRunDepth);
        // Level on deep runs: the median deepest depth decides, if it does.
        bool depthDecided = false;
        for (std::size_t i = 0; i < yields.size(); ++i)
            depthDecided = depthDecided || (i != best && keys(yields[i])[0] == keys(winner)[0] &&
                                            yields[i].medianDepth < winner.medianDepth);
        if (!level.empty() || depthDecided) {
            std::vector<std::string> levelOnRuns;
            for (std::size_t i = 0; i < yields.size(); ++i)
                if (i != best && keys(yields[i])[0] == keys(winner)[0])
                    levelOnRuns.push_back(names[i]);
            reason = printed("as many runs reaching depth %d per CPU-minute as ", deepRunDepth) +
                     namesOf(levelOnRuns) +
                     printed(", and %s median deepest depth (%g)",
                             level.empty() ? "the higher" : "as high a", winner.medianDepth);
        }
        reason += printed(", no setting having found full boards on %d seed pairs",
                          pairsWithBoardsThatCount);
    }
    if (!level.empty()) reason += "; a tie with " + namesOf(level) + " goes to the first named";
    return {best, !level.empty(), reason};
}

OptionVerdict judgeOption(const Yield& without, const Yield& with, std::int64_t tried,
                          std::int64_t kept, const std::string& withoutName,
                          const std::string& withName, TrialFigure figure) {
    if (figure == TrialFigure::fullBoards && without.pairsWithBoards < pairsWithBoardsThatCount &&
        with.pairsWithBoards < pairsWithBoardsThatCount) {
        const std::string reason = printed(
            "it is judged by its full boards alone, and neither setting found them on %d seed "
            "pairs",
            pairsWithBoardsThatCount);
        if (kept == 0) return {0, "not written", reason};
        return {kept, "kept, as the file replaced had it, the trial telling nothing of it", reason};
    }
    const Choice verdict = chooseYield({without, with}, {withoutName, withName});
    const bool better = verdict.chosen == 1 && !verdict.tie;
    const bool worse = verdict.chosen == 0 && !verdict.tie;
    if (kept == 0) return {better ? tried : 0, better ? "written" : "not written", verdict.reason};
    if (worse)
        return {0, "dropped, though the file replaced had it: the trial measured it worse",
                verdict.reason};
    return {kept,
            better ? "kept, as the file replaced had it"
                   : "kept, as the file replaced had it, the trial measuring it no worse",
            verdict.reason};
}

std::string yieldText(const Yield& yield) {
    return printed("%lld full boards, %lld runs reaching %d, median depth %g",
                   static_cast<long long>(yield.fullBoards), static_cast<long long>(yield.deepRuns),
                   deepRunDepth, yield.medianDepth);
}
