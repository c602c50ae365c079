// tessaly-groups: writes k7groups.txt for the puzzle in this directory: piece groups made from
// the deepest boards of the solver's own search without group rules, tried on the puzzle against
// the group rules off and the built-in groups, and whichever of the three did best; or, with
// --off, a groups file that turns the group rules off.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/console.h"
#include "base/fatal_exit.h"
#include "base/option_table.h"
#include "base/printable_text.h"
#include "base/program_info.h"
#include "base/whole_files.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "results/record_board_names.h"
#include "run/groups_file.h"
#include "search/search_state.h"
#include "tools/groups/group_derivation.h"
#include "tools/groups/harvest.h"
#include "tools/groups/trial.h"
#include "tools/groups/trial_choice.h"

namespace {

constexpr std::array<const char*, 2> forms{
    "[--seconds N | --nodes N] [-j N] [--seed N] [--run-nodes N] [--trial-nodes N | --no-trial] "
    "[--force]",
    "--off [--force]"};
constexpr const char* about =
    "Run it in the directory of k7pieces.txt. It runs the solver's search without group rules "
    "(for 120 seconds, or up to a node total), keeps the deepest board of every run and makes "
    "60 piece groups from the deepest different boards. It then tries them on the puzzle "
    "against the group rules off and the built-in groups, each with the same node budget in "
    "tessaly-bench, then the rim look-ahead on the one that did best, and writes k7groups.txt "
    "with what did best, which the solver then uses. --off writes a k7groups.txt that turns "
    "the group rules off instead. An existing k7groups.txt is replaced only with --force, "
    "which keeps its option words unless the trial measured them worse.";

constexpr std::array<OptionSpec, 9> optionTable{{
    numberOption("--seconds", "N", 1, 31'000'000, "harvest for N seconds (default 120)"),
    nodeTotalOption("--nodes",
                    "harvest up to a node total instead; the same seed gives the same file"),
    numberOption("-j", "N", 1, 1024, "runs at once (default: the number of processors)"),
    seedOption("--seed", "the harvest's seed (default 1)"),
    nodeTotalOption("--run-nodes", "the cap of every run (default 100000000)"),
    nodeTotalOption("--trial-nodes",
                    "the trial's budget of each candidate on each seed pair (default 1000000000)"),
    flagOption("--no-trial", "write the derived groups without trying them against the others"),
    flagOption("--off", "write a groups file that turns the group rules off; no harvest"),
    flagOption("--force", "replace an existing k7groups.txt, keeping its option words"),
}};
constexpr CommandLine commandLine{"tessaly-groups", forms, about, optionTable};

[[noreturn]] void failWith(const std::string& message) {
    runFault(commandLine.program, message);
}

struct Options {
    HarvestOptions harvest;
    TrialOptions trial;
    bool tried = true;  // false with --no-trial: the derived groups are written untried
    bool off = false;
    bool force = false;
};

Options parseArguments(int argc, char** argv) {
    const GivenOptions given = readCommandLine(commandLine, argc, argv);
    if (!given.operands.empty())
        usageFault(commandLine, "unexpected argument " + printableText(given.operands[0]));
    Options options;
    const unsigned cores = std::thread::hardware_concurrency();
    options.harvest.jobs = cores > 0 ? static_cast<int>(cores) : 1;
    options.tried = !given.has("--no-trial");
    options.off = given.has("--off");
    options.force = given.has("--force");
    const bool timeGiven = given.has("--seconds");
    HarvestOptions& harvest = options.harvest;
    harvest.seconds = static_cast<int>(given.number("--seconds").value_or(harvest.seconds));
    harvest.nodes = given.number("--nodes").value_or(harvest.nodes);
    harvest.jobs = static_cast<int>(given.number("-j").value_or(harvest.jobs));
    harvest.seed = static_cast<std::uint32_t>(given.number("--seed").value_or(harvest.seed));
    harvest.runNodes = given.number("--run-nodes").value_or(harvest.runNodes);
    options.trial.nodes = given.number("--trial-nodes").value_or(options.trial.nodes);
    options.trial.jobs = harvest.jobs;
    options.trial.seed = harvest.seed;
    if (timeGiven && harvest.nodes > 0)
        usageFault(commandLine, "--seconds and --nodes exclude each other");
    if (options.off && (timeGiven || harvest.nodes > 0))
        usageFault(commandLine, "--off makes no harvest");
    if (given.has("--trial-nodes") && (options.off || !options.tried))
        usageFault(commandLine,
                   "--trial-nodes is for the trial, which --off and --no-trial leave out");
    return options;
}

// Writes the groups file whole or not at all, replacing an older one only when `replace`.
std::string writeGroupsFile(const std::string& text, bool replace) {
    const int error =
        writeWholeFile(groupsFileName, text, replace ? Existing::replace : Existing::keep, true);
    if (error == EEXIST) return std::string(groupsFileName) + " exists; --force replaces it";
    if (error != 0)
        return "cannot write " + std::string(groupsFileName) + ": " + std::strerror(error);
    return {};
}

bool exists(const char* name) {
    struct stat status {};
    return lstat(name, &status) == 0;
}

std::string currentDirectory() {
    char path[4096];
    return getcwd(path, sizeof path) != nullptr ? path : ".";
}

// The option words of the k7groups.txt that --force replaces, read by the groups-file reader
// into `kept`: the new file keeps them, since they say how the solver searches, not which
// groups it uses. A file that cannot be read keeps
// none, and a warning says so before anything is made.
void readKeptWords(RunGroups& kept) {
    RunGroups old;
    const std::string fault = readGroupsFile(groupsFileName, old);
    if (!fault.empty()) {
        std::fprintf(stderr,
                     "tessaly-groups: warning: no option words are kept of the %s replaced: %s\n",
                     groupsFileName, printableText(fault).c_str());
        return;
    }
    kept.options = old.options;
}

// "the word rim-look-ahead", "the words rim-look-ahead and scarcity=-400".
std::string wordList(const std::vector<std::string>& words) {
    std::string text = words.size() == 1 ? "the word " : "the words ";
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + words[i];
    return text;
}

// What the last line adds about the option words written: " (kept the word rim-look-ahead)"
// for those the file replaced had, "with the word ..." for the others, or nothing.
std::string wordsText(const SearchOptions& written, const SearchOptions& kept) {
    std::vector<std::string> added, keptWords;
    for (const SearchOptionRow& row : searchOptionRows) {
        const std::int64_t value = written.*(row.value);
        if (row.word == nullptr || value == 0) continue;
        (kept.*(row.value) == value ? keptWords : added).push_back(optionWord(row, value));
    }
    std::string text;
    if (!added.empty()) text += "with " + wordList(added);
    if (!keptWords.empty()) text += (text.empty() ? "kept " : "; kept ") + wordList(keptWords);
    return text.empty() ? "" : " (" + text + ")";
}

// The groups a candidate stands for: the derived ones, none, or the built-in ones.
RunGroups groupsOf(Candidate candidate, const RunGroups& derived) {
    RunGroups groups = candidate == Candidate::derived ? derived : RunGroups{};
    if (candidate == Candidate::off) groups.rules = StepRules::noGroups;
    return groups;
}

// Ends the program unless `text` reads back as `groups`: what is tried and written is what was
// made.
void checkReadsBack(const std::string& text, const RunGroups& groups) {
    RunGroups check;
    const std::string fault = parseGroups(text, groupsFileName, check);
    if (!fault.empty() || check.rules != groups.rules || check.options != groups.options ||
        (groups.rules == StepRules::groups &&
         (check.table != groups.table || check.pieces != groups.pieces)))
        failWith("the groups made break a rule (" + fault + "); nothing is written");
}

// The comment lines that say what the file holds and how it was made.
std::vector<std::string> commentsOf(Candidate candidate, const std::string& harvest) {
    switch (candidate) {
        case Candidate::derived:
            return {
                "Piece groups for the pieces of k7pieces.txt, made by tessaly-groups from the "
                "deepest",
                "boards of " + harvest + ", one board a group.",
                "The solver uses them in place of its built-in groups; see tessaly-groups(1)."};
        case Candidate::off:
            return {"The group rules are off for the pieces of k7pieces.txt:",
                    "the solver's first depths may place any piece.",
                    "Written by tessaly-groups, which also made piece groups from the deepest "
                    "boards",
                    "of " + harvest + "; see tessaly-groups(1)."};
        case Candidate::builtIn:
            return {"The solver's built-in piece groups, for the pieces of k7pieces.txt.",
                    "Written by tessaly-groups, which also made piece groups from the deepest "
                    "boards",
                    "of " + harvest + "; see tessaly-groups(1)."};
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseArguments(argc, argv);
    const std::string where = currentDirectory() + "/" + groupsFileName;
    const bool replacing = exists(groupsFileName);
    if (replacing && !options.force) failWith(where + " exists; --force replaces it");
    RunGroups kept;
    if (replacing) readKeptWords(kept);
    if (options.off) {
        RunGroups off;
        off.rules = StepRules::noGroups;
        off.options = kept.options;
        const std::string problem = writeGroupsFile(
            groupsFileText(off, {"The group rules are off for the pieces of k7pieces.txt:",
                                 "the solver's first depths may place any piece.",
                                 "Written by tessaly-groups --off; see tessaly-groups(1)."}),
            options.force);
        if (!problem.empty()) failWith(problem);
        std::printf("Wrote %s: the group rules are off%s\n", where.c_str(),
                    wordsText(kept.options, kept.options).c_str());
        return 0;
    }

    // The trial's benchmark is found first: no harvest is made for a trial that cannot be run.
    const std::string bench = options.tried ? benchBesideThisProgram() : std::string();
    if (options.tried && bench.empty())
        failWith("no tessaly-bench beside this program in " + programDirectory().string() +
                 " for the trial; --no-trial writes the derived groups untried");

    // Unattended: a faulty piece file ends it at once, without waiting for the user.
    fatalExitWaits = false;
    readPieceFile(pieceFileName);
    buildCandidateTables();
    std::FILE* quiet = std::fopen("/dev/null", "w");
    if (quiet == nullptr) failWith("cannot open /dev/null");
    consoleOut = quiet;
    consoleErr = quiet;
    HarvestOptions harvestOptions = options.harvest;
    harvestOptions.progress = isatty(STDERR_FILENO) != 0;
    std::string error;
    const std::vector<HarvestRun> runs = harvest(harvestOptions, error);
    if (!error.empty()) failWith(error);

    std::vector<DeepBoard> boards;
    std::vector<int> depths;
    std::int64_t nodes = 0;
    int fullBoards = 0;
    int best = mismatchSlots;
    for (const HarvestRun& run : runs) {
        boards.push_back(run.deepest);
        depths.push_back(run.deepest.depth);
        nodes += run.nodes;
        fullBoards += run.fullBoards;
        best = std::min(best, run.bestMismatches);
    }
    std::vector<int> groupBoards;
    const RunGroups groups = deriveGroups(boards, groupBoards);
    if (groupBoards.empty()) failWith("no run placed a piece; no groups can be made");
    const int distinct =
        static_cast<int>(std::set<int>(groupBoards.begin(), groupBoards.end()).size());

    const std::string bound = options.harvest.nodes > 0
                                  ? std::to_string(options.harvest.nodes) + " nodes"
                                  : std::to_string(options.harvest.seconds) + " seconds";
    const std::string made = std::to_string(runs.size()) + " runs without group rules (seed " +
                             std::to_string(options.harvest.seed) + ", " + bound + ")";
    const std::string derivedText = groupsFileText(groups, commentsOf(Candidate::derived, made));
    checkReadsBack(derivedText, groups);

    std::printf(
        "Harvested %zu runs without group rules: %lld nodes, deepest depths from %d to "
        "%d, median %g\n",
        runs.size(), static_cast<long long>(nodes), *std::min_element(depths.begin(), depths.end()),
        *std::max_element(depths.begin(), depths.end()), medianDepth(depths));
    if (fullBoards > 0)
        std::printf(
            "They reached %d full boards, the best of score %d (not kept: the solver "
            "keeps what it finds)\n",
            fullBoards, scoreOf(best));
    std::printf("%d groups from %d different boards; the depth of each group's board:\n",
                groupCount, distinct);
    for (int g = 0; g < groupCount; ++g)
        std::printf("%s%3d", g % 20 == 0 ? (g == 0 ? "  " : "\n  ") : " ",
                    boards[groupBoards[g]].depth);
    std::printf("\n");
    std::fflush(stdout);

    TrialOutcome outcome;
    outcome.options = kept.options;
    if (options.tried) {
        TrialOptions trialOptions = options.trial;
        trialOptions.progress = harvestOptions.progress;
        outcome = runTrial(bench, derivedText, kept.options, trialOptions, error);
        if (!error.empty()) failWith("the trial failed: " + error + "; nothing is written");
    }
    std::vector<std::string> comments = commentsOf(outcome.chosen, made);
    comments.insert(comments.end(), outcome.comments.begin(), outcome.comments.end());
    RunGroups written = groupsOf(outcome.chosen, groups);
    written.options = outcome.options;
    const std::string text = groupsFileText(written, comments);
    checkReadsBack(text, written);
    const std::string problem = writeGroupsFile(text, options.force);
    if (!problem.empty()) failWith(problem);
    std::printf("Wrote %s%s\n", where.c_str(), wordsText(written.options, kept.options).c_str());
    return 0;
}
