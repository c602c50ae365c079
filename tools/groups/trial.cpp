#include "tools/groups/trial.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "base/clocks.h"
#include "base/formatted_text.h"
#include "base/program_info.h"
#include "base/whole_files.h"
#include "puzzle/piece_file.h"
#include "run/groups_file.h"

namespace {

// A setting the trial measures: its name in the report, the bench arguments that make it and the
// seed pairs it is measured on.
struct Setting {
    std::string name;
    std::vector<std::string> arguments;
    std::vector<SeedPair> pairs;
};

// "1001,1002 1003,1004 1005,1006"
std::string seedPairsText(const std::vector<SeedPair>& pairs) {
    std::string text;
    for (const SeedPair& pair : pairs) {
        if (!text.empty()) text += ' ';
        text += std::to_string(pair.main) + "," + std::to_string(pair.group);
    }
    return text;
}

// The derived groups in a directory of this process's own, for the benchmarks to read; removed
// with the object.
class PrivateGroupsFile {
public:
    std::string open(const std::string& text) {
        std::error_code fault;
        directory_ =
            (std::filesystem::temp_directory_path(fault) / "tessaly-groups.XXXXXX").string();
        if (fault || mkdtemp(directory_.data()) == nullptr) {
            directory_.clear();
            return "cannot make a temporary directory: " +
                   (fault ? fault.message() : std::string(std::strerror(errno)));
        }
        path = directory_ + "/" + groupsFileName;
        if (const int written = writeWholeFile(path.c_str(), text, Existing::keep, false))
            return "cannot write " + path + ": " + std::strerror(written);
        return {};
    }
    ~PrivateGroupsFile() { remove(); }
    void remove() {
        if (directory_.empty()) return;
        unlink(path.c_str());
        rmdir(directory_.c_str());
        directory_.clear();
    }
    std::string path;

private:
    std::string directory_;
};

// Runs every setting on each of its seed pairs, all in one sweep: the rows by setting, then by
// pair. A stop signal is passed on once the benchmarks have ended; `files` goes before.
std::vector<std::vector<YieldRow>> measure(const std::string& bench,
                                           const std::vector<Setting>& settings,
                                           const TrialOptions& options, PrivateGroupsFile& files,
                                           std::string& error) {
    std::vector<std::vector<std::string>> commands;
    for (const Setting& setting : settings)
        for (const SeedPair& seeds : setting.pairs) {
            std::vector<std::string> command = {bench, "--sweep-row"};
            command.insert(command.end(), setting.arguments.begin(), setting.arguments.end());
            command.insert(
                command.end(),
                {"--nodes", std::to_string(options.nodes), "--seeds",
                 std::to_string(seeds.main) + "," + std::to_string(seeds.group), pieceFileName});
            commands.push_back(command);
        }
    const SweepResult sweep = runSweep(commands, options.jobs, options.progress);
    if (sweep.stopSignal != 0) {
        files.remove();
        raise(sweep.stopSignal);
    }
    error = sweep.error;
    std::vector<std::vector<YieldRow>> rows(settings.size());
    auto next = sweep.rows.begin();
    for (std::size_t s = 0; s < settings.size() && error.empty(); ++s) {
        rows[s].assign(next, next + static_cast<long>(settings[s].pairs.size()));
        next += static_cast<long>(settings[s].pairs.size());
    }
    return rows;
}

// Prints a line of what a setting reached, pair by pair, and what it cost.
void printYield(const std::string& name, const std::vector<YieldRow>& pairs) {
    const Yield yield = yieldOf(pairs);
    std::string boards, deep, depths;
    const int band = bandIndex(deepRunDepth);
    for (const YieldRow& pair : pairs) {
        boards +=
            printed("%s%lld", boards.empty() ? "" : " ", static_cast<long long>(pair.fullBoards));
        deep += printed("%s%lld", deep.empty() ? "" : " ",
                        static_cast<long long>(pair.runsReaching[band]));
        depths += printed("%s%g", depths.empty() ? "" : " ", pair.medianDepth);
    }
    std::printf(
        "  %-22s full boards %lld (%s), runs reaching %d %lld (%s), median deepest depth "
        "%g (%s), %.1f CPU-minutes",
        name.c_str(), static_cast<long long>(yield.fullBoards), boards.c_str(), deepRunDepth,
        static_cast<long long>(yield.deepRuns), deep.c_str(), yield.medianDepth, depths.c_str(),
        yield.cpuSeconds / secondsPerMinute);
    if (yield.fullBoards > 0)
        std::printf(", best score %d, %.3g full boards per CPU-minute", yield.bestScore,
                    yield.boardsPerMinute());
    std::printf("\n");
}

// The bench arguments of a candidate.
std::vector<std::string> argumentsOf(Candidate candidate, const std::string& derivedPath) {
    if (candidate == Candidate::derived) return {"--groups", derivedPath};
    if (candidate == Candidate::off) return {"--no-group-rules"};
    return {};
}

// Lower-cased at its start, for the middle of a line.
std::string lowered(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

// What every measurement of a trial shares: the benchmark program, the budget and the jobs,
// and the derived groups' file.
struct Trial {
    const std::string& bench;
    const TrialOptions& options;
    PrivateGroupsFile& files;
};

// A setting and its rows, one per seed pair.
struct Measured {
    Setting setting;
    std::vector<YieldRow> rows;
};

// Every candidate on the trial's seed pairs, what each reached printed and the choice, both said
// in `outcome`'s comments: the chosen candidate measured, or nothing with `error` set.
std::optional<Measured> chooseCandidate(const Trial& trial, TrialOutcome& outcome,
                                        std::string& error) {
    const std::vector<SeedPair> pairs = trialSeedPairs(trial.options.seed);
    std::vector<Setting> settings;
    std::vector<std::string> names;
    for (const Candidate candidate : candidates) {
        settings.push_back(
            {candidateName(candidate), argumentsOf(candidate, trial.files.path), pairs});
        names.push_back(candidateName(candidate));
    }
    std::printf(
        "Tried each candidate with tessaly-bench, %lld nodes on each of the seed pairs %s:\n",
        static_cast<long long>(trial.options.nodes), seedPairsText(pairs).c_str());
    std::fflush(stdout);
    const auto rows = measure(trial.bench, settings, trial.options, trial.files, error);
    if (!error.empty()) return std::nullopt;
    std::vector<Yield> yields;
    std::string figures;
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        printYield(names[c], rows[c]);
        yields.push_back(yieldOf(rows[c]));
        figures.append(c == 0 ? "" : "; ").append(names[c] + " " + yieldText(yields.back()));
    }
    const Choice choice = chooseYield(yields, names);
    outcome.chosen = candidates[choice.chosen];
    std::printf("Chose the %s: %s\n", names[choice.chosen].c_str(), choice.reason.c_str());
    outcome.comments = {"Trial, " + std::to_string(trial.options.nodes) +
                            " nodes on each of the seed pairs " + seedPairsText(pairs) + ": " +
                            figures,
                        "Chose the " + names[choice.chosen] + ": " + choice.reason + "."};
    return Measured{settings[choice.chosen], rows[choice.chosen]};
}

// A search option the trial tries on the chosen setting: its row, the value it is tried with
// (the one the file replaced had, else the trial's) and its setting, then its rows.
struct OptionTrial {
    const SearchOptionRow* row;
    std::int64_t value;
    Measured measured;
};

// The search options the trial tries (those with a trial value and a word, which the pieces
// allow), each on `chosen` over `pairs`, with the value `kept` gives it where it has one.
std::vector<OptionTrial> optionsToTry(const SearchOptions& kept, const Setting& chosen,
                                      const std::vector<SeedPair>& pairs) {
    std::vector<OptionTrial> tried;
    for (const SearchOptionRow& row : searchOptionRows) {
        const std::int64_t keptValue = kept[row];
        const std::int64_t value = keptValue != 0 ? keptValue : row.trialValue;
        if (row.word == nullptr || value == 0 || row.trialValue == 0) continue;
        if (row.refusal != nullptr && !row.refusal().empty()) continue;
        Setting setting{optionTitle(row, value), chosen.arguments, pairs};
        setting.arguments.push_back(row.benchFlag);
        if (row.valueName != nullptr) setting.arguments.push_back(std::to_string(value));
        tried.push_back({&row, value, {setting, {}}});
    }
    return tried;
}

// Measures, in one sweep, `chosen` alone on those of `pairs` it was not yet measured on and
// every option of `tried` on all of them (into its rows); prints what the chosen one reached
// alone. The chosen setting alone on all of `pairs`, or `error` set.
Measured measureAlone(const Trial& trial, const Measured& chosen,
                      const std::vector<SeedPair>& pairs, std::vector<OptionTrial>& tried,
                      std::string& error) {
    Measured alone{{chosen.setting.name + " alone", chosen.setting.arguments,
                    std::vector<SeedPair>(pairs.begin() + trialSeedPairCount, pairs.end())},
                   chosen.rows};
    std::vector<Setting> settings{alone.setting};
    for (const OptionTrial& option : tried)
        settings.push_back(option.measured.setting);
    const auto rows = measure(trial.bench, settings, trial.options, trial.files, error);
    if (!error.empty()) return alone;
    // The rows of the settings in their order: the chosen one alone first, then each option.
    alone.rows.insert(alone.rows.end(), rows.front().begin(), rows.front().end());
    alone.setting.pairs = pairs;
    for (std::size_t i = 0; i < tried.size(); ++i)
        tried[i].measured.rows = rows[i + 1];
    printYield(alone.setting.name, alone.rows);
    return alone;
}

// The verdict on one option tried against `alone`, on the setting named `chosenName`, after
// what it reached is printed: sets its value in `options`; the line that says it.
std::string judgeOptionTrial(const OptionTrial& option, const Measured& alone,
                             const std::string& chosenName, const SearchOptions& kept,
                             SearchOptions& options) {
    const std::string& name = option.measured.setting.name;
    printYield(lowered(name), option.measured.rows);
    const Yield with = yieldOf(option.measured.rows);
    const OptionVerdict verdict =
        judgeOption(yieldOf(alone.rows), with, option.value, kept[*option.row], alone.setting.name,
                    lowered(name), option.row->trialFigure);
    options[*option.row] = verdict.value;
    return name + " on the " + chosenName + ": " + yieldText(with) + "; " + verdict.said + " (" +
           verdict.reason + ")";
}

}  // namespace

std::vector<SeedPair> trialSeedPairs(std::uint32_t seed, int count) {
    std::vector<SeedPair> pairs;
    for (int k = 0; k < count; ++k)
        pairs.push_back(seedPairOf({1000 * seed + 1, 1000 * seed + 2}, k));
    return pairs;
}

std::string benchBesideThisProgram() {
    const std::filesystem::path directory = programDirectory();
    if (directory.empty()) return {};
    const std::string bench = (directory / "tessaly-bench").string();
    return access(bench.c_str(), X_OK) == 0 ? bench : std::string();
}

TrialOutcome runTrial(const std::string& bench, const std::string& derivedText,
                      const SearchOptions& kept, const TrialOptions& options, std::string& error) {
    TrialOutcome outcome;
    outcome.options = kept;
    PrivateGroupsFile files;
    error = files.open(derivedText);
    if (!error.empty()) return outcome;
    const Trial trial{bench, options, files};
    const std::optional<Measured> chosen = chooseCandidate(trial, outcome, error);
    if (!chosen) return outcome;
    const std::vector<SeedPair> optionPairs =
        trialSeedPairs(options.seed, optionTrialSeedPairCount);
    std::vector<OptionTrial> tried = optionsToTry(kept, chosen->setting, optionPairs);
    if (tried.empty()) return outcome;
    std::printf("Tried on the %s, on the seed pairs %s:\n", chosen->setting.name.c_str(),
                seedPairsText(optionPairs).c_str());
    std::fflush(stdout);
    // The chosen candidate alone on the pairs it was not yet measured on, in the same sweep.
    const Measured alone = measureAlone(trial, *chosen, optionPairs, tried, error);
    if (!error.empty()) return outcome;
    outcome.comments.push_back("Options tried on the " + chosen->setting.name + ", " +
                               std::to_string(options.nodes) + " nodes on each of the seed pairs " +
                               seedPairsText(optionPairs) + ": " + alone.setting.name + " " +
                               yieldText(yieldOf(alone.rows)) + ".");
    for (const OptionTrial& option : tried) {
        const std::string line =
            judgeOptionTrial(option, alone, chosen->setting.name, kept, outcome.options);
        std::printf("%s\n", line.c_str());
        outcome.comments.push_back(line + ".");
    }
    return outcome;
}
