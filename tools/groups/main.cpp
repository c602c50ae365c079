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
#include "tools/groups/groups_writing.h"
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
    "(for 120 CPU seconds of its runs, or up to a node total), keeps the deepest board of every "
    "run and makes 60 piece groups from the deepest different boards. It then tries them on the "
    "puzzle against the group rules off and the built-in groups, each with the same node budget "
    "in tessaly-bench, then the rim look-ahead on the one that did best, and writes k7groups.txt "
    "with what did best, which the solver then uses. --off writes a k7groups.txt that turns "
    "the group rules off instead. An existing k7groups.txt is replaced only with --force, "
    "which keeps its option words unless the trial measured them worse.";

constexpr std::array<OptionRow, 9> optionTable{{
    numberOption("--seconds", "N", 1, 31'000'000,
                 "harvest until the runs have used N CPU seconds in all (default 120); "
                 "--nodes is the reproducible form"),
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

bool exists(const char* name) {
    struct stat status {};
    return lstat(name, &status) == 0;
}

std::string currentDirectory() {
    char path[4096];
    return getcwd(path, sizeof path) != nullptr ? path : ".";
}

// Ends the program unless `text` reads back as `groups`.
void checkReadsBack(const std::string& text, const RunGroups& groups) {
    std::string fault;
    if (!readsBack(text, groups, fault))
        failWith("the groups made break a rule (" + fault + "); nothing is written");
}

// Writes a groups file that turns the group rules off, with the option words of `kept`.
int writeOffFile(const Options& options, const RunGroups& kept, const std::string& where) {
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

// The harvest and the groups made of it.
struct Harvested {
    std::vector<HarvestRun> runs;
    RunGroups groups;
    std::vector<int> groupBoards;  // the run whose deepest board each group was made from
    std::string made;              // "N runs without group rules (seed S, BOUND)"
    std::string derivedText;       // the groups as a groups file
};

Harvested harvestGroups(const Options& options, bool progress) {
    HarvestOptions harvestOptions = options.harvest;
    harvestOptions.progress = progress;
    Harvested harvested;
    std::string error;
    harvested.runs = harvest(harvestOptions, error);
    if (!error.empty()) failWith(error);
    std::vector<DeepBoard> boards;
    for (const HarvestRun& run : harvested.runs)
        boards.push_back(run.deepest);
    harvested.groups = deriveGroups(boards, harvested.groupBoards);
    if (harvested.groupBoards.empty()) failWith("no run placed a piece; no groups can be made");
    const std::string bound = options.harvest.nodes > 0
                                  ? std::to_string(options.harvest.nodes) + " nodes"
                                  : std::to_string(options.harvest.seconds) + " CPU seconds";
    harvested.made = std::to_string(harvested.runs.size()) + " runs without group rules (seed " +
                     std::to_string(options.harvest.seed) + ", " + bound + ")";
    harvested.derivedText =
        groupsFileText(harvested.groups, commentsOf(Candidate::derived, harvested.made));
    checkReadsBack(harvested.derivedText, harvested.groups);
    return harvested;
}

// What the harvest reached: its nodes and depths, its full boards, and the depth of the board
// of each group.
void printHarvestReport(const Harvested& harvested) {
    const std::vector<HarvestRun>& runs = harvested.runs;
    std::vector<int> depths;
    std::int64_t nodes = 0;
    int fullBoards = 0;
    int best = mismatchSlots;
    for (const HarvestRun& run : runs) {
        depths.push_back(run.deepest.depth);
        nodes += run.nodes;
        fullBoards += run.fullBoards;
        best = std::min(best, run.bestMismatches);
    }
    const std::vector<int>& groupBoards = harvested.groupBoards;
    const int distinct =
        static_cast<int>(std::set<int>(groupBoards.begin(), groupBoards.end()).size());
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
                    runs[groupBoards[g]].deepest.depth);
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseArguments(argc, argv);
    const std::string where = currentDirectory() + "/" + groupsFileName;
    // Nothing is made for a file that cannot be written.
    if (const std::string problem = groupsFileUnwritable(); !problem.empty()) failWith(problem);
    const bool replacing = exists(groupsFileName);
    if (replacing && !options.force) failWith(where + " exists; --force replaces it");
    RunGroups kept;
    if (replacing) readKeptWords(kept);
    if (options.off) return writeOffFile(options, kept, where);

    // The trial's benchmark is found first: no harvest is made for a trial that cannot be run.
    const std::string bench = options.tried ? benchBesideThisProgram() : std::string();
    if (options.tried && bench.empty())
        failWith("no tessaly-bench beside this program in " + programDirectory().string() +
                 " for the trial; --no-trial writes the derived groups untried");

    // Unattended: a faulty piece file ends it at once, without waiting for the user.
    process.fatalExitWaits = false;
    readPieceFile(pieceFileName);
    buildCandidateTables();
    std::FILE* quiet = std::fopen("/dev/null", "w");
    if (quiet == nullptr) failWith("cannot open /dev/null");
    process.consoleOut = quiet;
    process.consoleErr = quiet;
    const bool progress = isatty(STDERR_FILENO) != 0;
    const Harvested harvested = harvestGroups(options, progress);
    printHarvestReport(harvested);

    TrialOutcome outcome;
    outcome.options = kept.options;
    if (options.tried) {
        TrialOptions trialOptions = options.trial;
        trialOptions.progress = progress;
        std::string error;
        outcome = runTrial(bench, harvested.derivedText, kept.options, trialOptions, error);
        if (!error.empty()) failWith("the trial failed: " + error + "; nothing is written");
    }
    std::vector<std::string> comments = commentsOf(outcome.chosen, harvested.made);
    comments.insert(comments.end(), outcome.comments.begin(), outcome.comments.end());
    RunGroups written = groupsOf(outcome.chosen, harvested.groups);
    written.options = outcome.options;
    const std::string text = groupsFileText(written, comments);
    checkReadsBack(text, written);
    const std::string problem = writeGroupsFile(text, options.force);
    if (!problem.empty()) failWith(problem);
    std::printf("Wrote %s%s\n", where.c_str(), wordsText(written.options, kept.options).c_str());
    return 0;
}
