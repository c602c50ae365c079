// tessaly-bench: complete runs of the solver on one thread, on a fixed puzzle and fixed seeds,
// with no files written and no console output. The total node count is the search's signature:
// the same build, puzzle and seeds always give the same count. With --pairs it runs a yield
// sweep of the setting over many seed pairs, one process each; --compare sets two sweeps side
// by side.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/console.h"
#include "base/fatal_exit.h"
#include "base/file_reading.h"
#include "base/option_table.h"
#include "base/printable_text.h"
#include "base/program_info.h"
#include "base/settings.h"
#include "puzzle/piece_file.h"
#include "search/search_options.h"
#include "tools/bench/workload.h"
#include "tools/common/yield_sweep.h"

namespace {

constexpr std::array<const char*, 2> forms{
    "[--runs N] [--nodes N] [--seeds MAIN,GROUP] [--board BOARDFILE] "
    "[--groups GROUPSFILE | --no-group-rules] [SEARCH OPTIONS] [--verbose] "
    "[--pairs N [-j J] | --sweep-row] [PIECEFILE]",
    "--compare SWEEP-A SWEEP-B"};

constexpr int defaultRuns = 12;
constexpr int mostRuns = 1'000'000;
constexpr int mostPairs = 10'000;
constexpr int mostJobs = 1'024;
// A sweep's output is its rows and a summary; a file larger than this is no sweep.
constexpr std::size_t largestSweep = 1 << 24;

// The bench's own options; the search options of searchOptionRows follow them.
constexpr std::array<OptionRow, 11> ownOptions{{
    numberOption("--runs", "N", 1, mostRuns,
                 "complete runs (default 12; no bound with --nodes alone)"),
    nodeTotalOption("--nodes", "end the workload (of each seed pair) once its runs' nodes reach N"),
    seedPairOption("--seeds", "the seeds of the two random generators (of the first pair)"),
    // The settings keep the board file's path in a buffer of pathCapacity bytes.
    pathOption("--board", "BOARDFILE", "load the board file at the start of every run",
               pathCapacity - 1),
    pathOption("--groups", "GROUPSFILE", "draw the piece groups from a groups file"),
    flagOption("--no-group-rules", "search without the group rules, for comparisons"),
    flagOption("--verbose", "a line per run and a digest of the full boards"),
    numberOption("--pairs", "N", 1, mostPairs,
                 "a yield sweep over N seed pairs: a row of figures per pair, a summary"),
    numberOption("-j", "J", 1, mostJobs, "with --pairs, run J seed pairs at once (default 1)"),
    flagOption("--sweep-row", "print the figures as one row of a sweep (what --pairs runs)"),
    flagOption("--compare", "compare two sweeps' outputs over the same seed pairs"),
}};

// The bench's options, then a row per search option: a flag for a switch, else a whole number
// in the option's range.
const std::vector<OptionRow> optionTable = [] {
    std::vector<OptionRow> table(ownOptions.begin(), ownOptions.end());
    for (const SearchOptionRow& row : searchOptionRows)
        table.push_back(row.valueName == nullptr ? flagOption(row.benchFlag, row.help)
                                                 : numberOption(row.benchFlag, row.valueName,
                                                                row.least, row.most, row.help));
    return table;
}();
const CommandLine commandLine{"tessaly-bench", forms, nullptr, optionTable};

struct BenchCommand {
    Workload workload;
    int pairs = 0;  // 0: one workload, its figures as text
    int jobs = 1;
    bool sweepRow = false;
    std::vector<std::string> compared;  // the two sweeps of --compare
};

// The bench puzzle: the installed copy when this program is installed (bin/ and
// share/tessaly/ under one prefix), otherwise the one in the source tree it was built from.
std::string benchPuzzle() {
    const std::filesystem::path directory = programDirectory();
    const std::filesystem::path installed =
        (directory / "../share/tessaly/puzzles/bench" / pieceFileName).lexically_normal();
    std::error_code fault;
    if (!directory.empty() && std::filesystem::is_regular_file(installed, fault))
        return installed.string();
    return TESSALY_BENCH_PUZZLE;
}

[[noreturn]] void fail(const std::string& problem) {
    usageFault(commandLine, problem);
}

BenchCommand parseArguments(int argc, char** argv) {
    const GivenOptions given = readCommandLine(commandLine, argc, argv);
    BenchCommand command;
    Workload& workload = command.workload;
    workload.pieceFile = benchPuzzle();
    for (const GivenOption& option : given.options)
        if (const SearchOptionRow* row = optionWithFlag(option.row->name))
            workload.options[*row] = row->valueName == nullptr ? 1 : option.number;
    workload.verbose = given.has("--verbose");
    workload.runs = static_cast<int>(given.number("--runs").value_or(0));
    workload.nodes = given.number("--nodes").value_or(0);
    workload.boardFile = given.text("--board").value_or("");
    workload.groupsFile = given.text("--groups").value_or("");
    workload.noGroupRules = given.has("--no-group-rules");
    if (const auto seeds = given.seedPair("--seeds")) workload.seeds = {(*seeds)[0], (*seeds)[1]};
    command.pairs = static_cast<int>(given.number("--pairs").value_or(0));
    command.jobs = static_cast<int>(given.number("-j").value_or(1));
    command.sweepRow = given.has("--sweep-row");
    if (given.has("--compare")) {
        if (given.options.size() != 1 || given.operands.size() != 2)
            fail("--compare takes two sweeps' outputs and nothing else");
        command.compared = given.operands;
        return command;
    }
    if (given.operands.size() > 1) fail("unexpected argument " + printableText(given.operands[1]));
    if (!given.operands.empty()) workload.pieceFile = given.operands[0];
    if (workload.noGroupRules && !workload.groupsFile.empty())
        fail("--groups and --no-group-rules exclude each other");
    if (command.pairs > 0 && command.sweepRow) fail("--pairs and --sweep-row exclude each other");
    if (given.has("-j") && command.pairs == 0) fail("-j is for a sweep: give --pairs N too");
    if (workload.runs == 0) workload.runs = workload.nodes > 0 ? mostRuns : defaultRuns;
    // A sweep counts the deep placements, which the profile counts.
    if (command.pairs > 0 || command.sweepRow) workload.options.of<ProfileOption>() = 1;
    return command;
}

// The command that runs the workload of `workload` on the seed pair `seeds` as one sweep row.
std::vector<std::string> sweepRowCommand(const Workload& workload, SeedPair seeds) {
    std::vector<std::string> arguments{"/proc/self/exe"};
    std::error_code fault;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", fault);
    if (!fault) arguments[0] = self.string();
    arguments.insert(arguments.end(),
                     {"--sweep-row", "--runs", std::to_string(workload.runs), "--seeds",
                      std::to_string(seeds.main) + "," + std::to_string(seeds.group)});
    if (workload.nodes > 0)
        arguments.insert(arguments.end(), {"--nodes", std::to_string(workload.nodes)});
    if (!workload.boardFile.empty())
        arguments.insert(arguments.end(), {"--board", workload.boardFile});
    if (!workload.groupsFile.empty())
        arguments.insert(arguments.end(), {"--groups", workload.groupsFile});
    if (workload.noGroupRules) arguments.push_back("--no-group-rules");
    for (const SearchOptionRow& row : searchOptionRows) {
        const std::int64_t value = workload.options[row];
        if (value == 0) continue;
        arguments.push_back(row.benchFlag);
        if (row.valueName != nullptr) arguments.push_back(std::to_string(value));
    }
    arguments.push_back(workload.pieceFile);
    return arguments;
}

// The setting of a sweep, in words, for its first line.
std::string settingText(const Workload& workload, int pairs) {
    std::string text = "# tessaly-bench sweep of " + workload.pieceFile + ": " +
                       std::to_string(pairs) + " seed pairs from " +
                       std::to_string(workload.seeds.main) + "," +
                       std::to_string(workload.seeds.group);
    if (workload.nodes > 0) text += ", " + std::to_string(workload.nodes) + " nodes each";
    if (!workload.groupsFile.empty()) text += ", groups " + workload.groupsFile;
    if (workload.noGroupRules) text += ", no group rules";
    for (const SearchOptionRow& row : searchOptionRows) {
        const std::int64_t value = workload.options[row];
        if (value != 0 && SearchOptions::indexOf(row) != optionIndex<ProfileOption>)
            text += ", " + optionTitle(row, value);
    }
    return text + "\n";
}

int sweep(const BenchCommand& command) {
    std::vector<std::vector<std::string>> commands;
    for (int k = 0; k < command.pairs; ++k)
        commands.push_back(
            sweepRowCommand(command.workload, seedPairOf(command.workload.seeds, k)));
    const SweepResult result = runSweep(commands, command.jobs, false);
    if (result.stopSignal != 0) raise(result.stopSignal);
    if (!result.error.empty()) {
        std::fprintf(stderr, "tessaly-bench: %s\n", result.error.c_str());
        return 1;
    }
    const std::vector<YieldRow>& rows = result.rows;
    std::string text = settingText(command.workload, command.pairs) + yieldRowHeader();
    for (const YieldRow& row : rows)
        text += yieldRowLine(row);
    text += yieldSummary(rows);
    std::fputs(text.c_str(), stdout);
    return standardOutputWritten("tessaly-bench") ? 0 : 1;
}

int compare(const std::vector<std::string>& paths) {
    std::vector<std::vector<YieldRow>> sweeps;
    for (const std::string& path : paths) {
        std::string text;
        const FileReading reading = readRegularFile(path.c_str(), largestSweep, text);
        if (reading.fault != FileReading::none) {
            std::fprintf(stderr, "tessaly-bench: %s %s\n", path.c_str(),
                         readingProblem(reading).c_str());
            return 1;
        }
        std::string problem;
        auto rows = readYieldRows(text, problem);
        if (!rows) {
            std::fprintf(stderr, "tessaly-bench: %s: %s\n", path.c_str(), problem.c_str());
            return 1;
        }
        sweeps.push_back(std::move(*rows));
    }
    std::string problem;
    const auto comparison = compareSweeps(sweeps[0], sweeps[1], problem);
    if (!comparison) {
        std::fprintf(stderr, "tessaly-bench: %s\n", problem.c_str());
        return 1;
    }
    std::printf("# A: %s\n# B: %s\n%s", paths[0].c_str(), paths[1].c_str(), comparison->c_str());
    return standardOutputWritten("tessaly-bench") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const BenchCommand command = parseArguments(argc, argv);
    if (!command.compared.empty()) return compare(command.compared);
    if (command.pairs > 0) return sweep(command);
    std::FILE* quiet = std::fopen("/dev/null", "w");
    if (quiet == nullptr) runFault(commandLine.program, "cannot open /dev/null");
    // Fatal piece-file messages still reach the error stream, and the program ends at once:
    // a benchmark waits for nobody.
    process.consoleOut = quiet;
    process.fatalExitWaits = false;
    std::string error;
    const WorkloadFigures figures = runWorkload(command.workload, error);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const YieldRow& row = figures.row;
    if (command.sweepRow) {
        std::fputs((yieldRowHeader() + yieldRowLine(row)).c_str(), stdout);
    } else {
        std::printf("nodes %lld\n", static_cast<long long>(row.nodes));
        std::printf("full boards %lld\n", static_cast<long long>(row.fullBoards));
        std::printf("best score %d\n", row.bestScore);
        std::printf("median depth %g\n", row.medianDepth);
        if (command.workload.verbose)
            std::printf("boards digest %016llx\n",
                        static_cast<unsigned long long>(figures.boardsDigest));
        // The wall-clock figures, then the CPU ones, which a busy machine does not change.
        std::printf("seconds %.3f\n", figures.seconds);
        std::printf("nodes per second %.0f (%.1f M)\n", row.nodes / figures.seconds,
                    row.nodes / figures.seconds / 1e6);
        std::printf("cpu seconds %.3f\n", figures.cpuSeconds);
        std::printf("nodes per cpu second %.0f (%.1f M)\n", row.nodes / figures.cpuSeconds,
                    row.nodes / figures.cpuSeconds / 1e6);
        std::fputs(figures.profile.c_str(), stdout);
    }
    const bool written = standardOutputWritten("tessaly-bench");
    if (figures.idleRuns == idleRunLimit) {
        std::fprintf(stderr,
                     "tessaly-bench: %d runs in a row searched no node, so the workload ended "
                     "early (does the board file leave no legal move?)\n",
                     idleRunLimit);
        return 1;
    }
    return written ? 0 : 1;
}
