// tessaly-bench: complete runs of the solver on one thread, on a fixed puzzle and fixed
// seeds, with no files written and no console output. The total node count is the search's
// signature: the same build, puzzle and seeds always give the same count.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/console.h"
#include "base/fatal_exit.h"
#include "base/option_table.h"
#include "base/program_info.h"
#include "base/random.h"
#include "base/settings.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "results/full_boards.h"
#include "results/record_board_names.h"
#include "run/groups_file.h"
#include "run/resets.h"
#include "run/run_budget.h"
#include "run/run_loop.h"
#include "run/run_setup.h"
#include "run/startup.h"
#include "search/depth_profile.h"
#include "search/rim_look_ahead.h"
#include "search/search_state.h"
#include "stats/statistics_records.h"

namespace {

constexpr const char* usage =
    "usage: tessaly-bench [--runs N] [--nodes N] [--seeds MAIN,GROUP] [--board BOARDFILE]\n"
    "                     [--groups GROUPSFILE | --no-group-rules] [--rim-look-ahead]\n"
    "                     [--profile] [--verbose] [PIECEFILE]\n";

constexpr std::array<OptionSpec, 9> optionTable{{
    {"--runs", "N", "complete runs (default 12; no bound with --nodes alone)"},
    {"--nodes", "N", "end the workload once its runs' nodes reach N"},
    {"--seeds", "MAIN,GROUP", "the seeds of the two random generators"},
    {"--board", "BOARDFILE", "load the board file at the start of every run"},
    {"--groups", "GROUPSFILE", "draw the piece groups from a groups file"},
    {"--no-group-rules", nullptr, "search without the group rules, for comparisons"},
    {"--rim-look-ahead", nullptr, "refuse rim placements after which the rim cannot close"},
    {"--profile", nullptr, "the nodes by depth, the deep placements and the ends of the runs"},
    {"--verbose", nullptr, "a line per run, the median depth and a digest of the full boards"},
}};

constexpr int defaultRuns = 12;
constexpr int mostRuns = 1'000'000;
// Runs in a row that search no node at all end the workload: a board file that leaves no legal
// move makes every run such a run, and a node total would never be reached.
constexpr int idleRunLimit = 100;

struct BenchOptions {
    int runs = 0;            // 0: the default, or no bound when a node total is given
    std::int64_t nodes = 0;  // node total at which the workload ends; 0 for none
    std::uint32_t mainSeed = 20261207;
    std::uint32_t groupSeed = 4242;
    bool verbose = false;
    std::string boardFile;   // loaded at the start of every run, as the solver does
    std::string groupsFile;  // groups in place of the built-in ones, as the solver reads them
    bool noGroupRules = false;
    bool rimLookAhead = false;
    bool profile = false;
    std::string pieceFile;
};

// The bench puzzle: the installed copy when this program is installed (bin/ and
// share/tessaly/ under one prefix), otherwise the one in the source tree it was built from.
std::string benchPuzzle() {
    const std::filesystem::path directory = programDirectory();
    const std::filesystem::path installed =
        (directory / "../share/tessaly/puzzles/bench/k7pieces.txt").lexically_normal();
    std::error_code fault;
    if (!directory.empty() && std::filesystem::is_regular_file(installed, fault))
        return installed.string();
    return TESSALY_BENCH_PUZZLE;
}

[[noreturn]] void fail(const char* message) {
    std::fprintf(stderr, "tessaly-bench: %s\n%s", message, usage);
    std::exit(2);
}

BenchOptions parseArguments(int argc, char** argv) {
    std::string fault;
    const std::optional<GivenOptions> given =
        parseOptions(std::vector<std::string>(argv + 1, argv + argc), optionTable, fault);
    if (!given) fail(fault.c_str());
    BenchOptions options;
    options.pieceFile = benchPuzzle();
    for (const auto& [name, value] : given->options) {
        if (name == "--verbose") {
            options.verbose = true;
        } else if (name == "--runs") {
            const auto runs = numberIn(value, 1, mostRuns);
            if (!runs) fail("--runs takes a number of runs from 1 to 1000000");
            options.runs = static_cast<int>(*runs);
        } else if (name == "--nodes") {
            const auto nodes = numberIn(value, 1, 1'000'000'000'000'000);
            if (!nodes) fail("--nodes takes a node total from 1 to 10^18");
            options.nodes = *nodes;
        } else if (name == "--board") {
            if (value.size() >= pathCapacity) fail("--board takes the name of a board file");
            options.boardFile = value;
        } else if (name == "--groups") {
            options.groupsFile = value;
        } else if (name == "--no-group-rules") {
            options.noGroupRules = true;
        } else if (name == "--rim-look-ahead") {
            options.rimLookAhead = true;
        } else if (name == "--profile") {
            options.profile = true;
        } else if (name == "--seeds") {
            const std::size_t comma = value.find(',');
            const auto main = numberIn(std::string_view(value).substr(0, comma), 0, 0xFFFFFFFF);
            const auto group =
                comma == std::string::npos
                    ? std::nullopt
                    : numberIn(std::string_view(value).substr(comma + 1), 0, 0xFFFFFFFF);
            if (!main || !group) fail("--seeds takes two numbers MAIN,GROUP from 0 to 4294967295");
            options.mainSeed = static_cast<std::uint32_t>(*main);
            options.groupSeed = static_cast<std::uint32_t>(*group);
        }
    }
    if (given->operands.size() > 1) fail(("unexpected argument " + given->operands[1]).c_str());
    if (!given->operands.empty()) options.pieceFile = given->operands[0];
    if (options.noGroupRules && !options.groupsFile.empty())
        fail("--groups and --no-group-rules exclude each other");
    if (options.runs == 0) options.runs = options.nodes > 0 ? mostRuns : defaultRuns;
    return options;
}

// A digest of every full board's words (flags included) and mismatches, in the order found.
std::uint64_t boardsDigest = 14695981039346656037ull;

void digestFullBoard() {
    auto mix = [](std::uint32_t word) { boardsDigest = (boardsDigest ^ word) * 1099511628211ull; };
    for (const PieceCode code : search.board)
        mix(static_cast<std::uint32_t>(code));
    mix(static_cast<std::uint32_t>(search.mismatchCount));
}

const char* endText(bool exhausted) {
    if (exhausted) return "exhausted";
    if (std::strcmp(budget.endMark, "):\n") == 0) return "):";
    return budget.endMark[0] ? budget.endMark : "none";
}

// Where the nodes of the workload went, added up run by run (--profile).
struct Profile {
    // The bounds of the depth bands, and the depths whose placements are shown.
    static constexpr std::array<int, 5> bandStarts{0, 120, 193, 230, 248};
    static constexpr int firstDeepDepth = 240;
    std::array<std::int64_t, bandStarts.size()> nodesFrom{};
    std::array<std::int64_t, depthCount - firstDeepDepth> nodesFromDeep{};
    // The ends of the runs, in the order shown.
    std::array<const char*, 7> ends{"-", "\\", "_", "):", "none", "exhausted", "node total"};
    std::array<int, 7> endCount{};
    std::int64_t tests = 0, refusals = 0, lookUps = 0, memoHits = 0, givenUp = 0;

    void addRun(const char* end) {
        nodesFrom[0] += search.nodeCount;
        for (std::size_t b = 1; b < bandStarts.size(); ++b)
            nodesFrom[b] += nodesFromDepth(bandStarts[b]);
        for (int d = firstDeepDepth; d < depthCount; ++d)
            nodesFromDeep[d - firstDeepDepth] += nodesFromDepth(d);
        for (std::size_t i = 0; i < ends.size(); ++i)
            endCount[i] += std::strcmp(ends[i], end) == 0;
        tests += rim.tests;
        refusals += rim.refusals;
        lookUps += rim.lookUps;
        memoHits += rim.memoHits;
        givenUp += rim.givenUp;
    }

    void print(bool rimLookAhead) const {
        const double all = nodesFrom[0] > 0 ? static_cast<double>(nodesFrom[0]) : 1;
        for (std::size_t b = 0; b < bandStarts.size(); ++b) {
            const int last = b + 1 < bandStarts.size() ? bandStarts[b + 1] - 1 : depthCount - 1;
            const std::int64_t from = nodesFrom[b];
            const std::int64_t beyond = b + 1 < bandStarts.size() ? nodesFrom[b + 1] : 0;
            std::printf("nodes at depths %d-%d %lld (%.1f %%)\n", bandStarts[b], last,
                        static_cast<long long>(from - beyond), 100.0 * (from - beyond) / all);
        }
        std::printf("placements at depths %d-%d", firstDeepDepth, depthCount - 1);
        for (std::size_t i = 0; i < nodesFromDeep.size(); ++i) {
            const std::int64_t beyond = i + 1 < nodesFromDeep.size() ? nodesFromDeep[i + 1] : 0;
            std::printf(" %lld", static_cast<long long>(nodesFromDeep[i] - beyond));
        }
        std::printf("\nrun ends");
        for (std::size_t i = 0; i < ends.size(); ++i)
            std::printf("%s %s %d", i == 0 ? "" : ",", ends[i], endCount[i]);
        std::printf("\n");
        if (rimLookAhead)
            std::printf(
                "rim look-ahead %lld tests, %lld refused; %lld looked up, %lld found in the "
                "memo, %lld given up\n",
                static_cast<long long>(tests), static_cast<long long>(refusals),
                static_cast<long long>(lookUps), static_cast<long long>(memoHits),
                static_cast<long long>(givenUp));
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string help = optionsHelp(usage, optionTable);
    answerHelpOrVersion(argc, argv, "tessaly-bench", help.c_str());
    const BenchOptions options = parseArguments(argc, argv);
    std::FILE* quiet = std::fopen("/dev/null", "w");
    if (quiet == nullptr) fail("cannot open /dev/null");
    // Fatal piece-file messages still reach the error stream, and the program ends at once:
    // a benchmark waits for nobody.
    consoleOut = quiet;
    fatalExitWaits = false;
    // Every record from its start values; the workload's settings and seeds follow.
    resetProgram();
    readPieceFile(options.pieceFile.c_str());
    buildCandidateTables();
    if (!options.groupsFile.empty()) {
        const std::string fault = readGroupsFile(options.groupsFile, setup.groups);
        if (!fault.empty()) {
            std::fprintf(stderr, "%s\n", fault.c_str());
            return 1;
        }
    }
    if (options.noGroupRules) setup.groups.rules = StepRules::noGroups;
    if (options.rimLookAhead) setup.groups.rimLookAhead = true;
    if (setup.groups.rimLookAhead) {
        const std::string fault = rimLookAheadFault();
        if (!fault.empty()) {
            std::fprintf(stderr, "tessaly-bench: the rim look-ahead cannot be used here: %s\n",
                         fault.c_str());
            return 1;
        }
    }
    setup.profile = options.profile;
    settings.writeFiles = false;
    fullBoards.watcher = digestFullBoard;
    std::snprintf(settings.boardPath, pathCapacity, "%s", options.boardFile.c_str());
    seedRandom(mainRandom, options.mainSeed);
    seedRandom(groupRandom, options.groupSeed);
    setup.groupRandomSeeded = true;
    consoleErr = quiet;

    std::int64_t totalNodes = 0;
    std::vector<int> depths;
    Profile profile;
    int idleRuns = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int run = 1; run <= options.runs; ++run) {
        if (options.nodes > 0) {
            if (totalNodes >= options.nodes) break;
            // The run stops, without a mark, where the workload's node total is reached.
            settings.runNodeLimit = options.nodes - totalNodes;
        }
        const std::int64_t boardsBefore = fullBoards.count;
        bool exhausted = true;
        try {
            performRun();
        } catch (const RunStopped&) {
            exhausted = false;
        }
        totalNodes += search.nodeCount;
        depths.push_back(deepestPlacedDepth());
        const bool reachedTotal = options.nodes > 0 && totalNodes >= options.nodes;
        const char* end = reachedTotal && !exhausted ? "node total" : endText(exhausted);
        profile.addRun(end);
        if (options.verbose) {
            const std::string group = setup.groups.rules == StepRules::groups
                                          ? "group " + std::to_string(setup.group)
                                          : std::string("groups off");
            std::printf("run %d: %s, end %s, nodes %lld, full boards %lld, depth %d\n", run,
                        group.c_str(), end, static_cast<long long>(search.nodeCount),
                        static_cast<long long>(fullBoards.count - boardsBefore), depths.back());
        }
        idleRuns = search.nodeCount == 0 ? idleRuns + 1 : 0;
        if (idleRuns == idleRunLimit) break;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int best = statistics.sinceStart.best < statistics.grandTotal.best
                         ? statistics.sinceStart.best
                         : statistics.grandTotal.best;
    std::printf("nodes %lld\n", static_cast<long long>(totalNodes));
    std::printf("full boards %lld\n", static_cast<long long>(fullBoards.count));
    std::printf("best score %d\n", best < mismatchSlots ? scoreOf(best) : 0);
    std::printf("median depth %g\n", medianDepth(depths));
    if (options.verbose)
        std::printf("boards digest %016llx\n", static_cast<unsigned long long>(boardsDigest));
    std::printf("seconds %.3f\n", seconds);
    std::printf("nodes per second %.0f (%.1f M)\n", totalNodes / seconds,
                totalNodes / seconds / 1e6);
    if (options.profile) profile.print(setup.groups.rimLookAhead);
    const bool written = standardOutputWritten("tessaly-bench");
    if (idleRuns == idleRunLimit) {
        std::fprintf(stderr,
                     "tessaly-bench: %d runs in a row searched no node, so the workload ended "
                     "early (does the board file leave no legal move?)\n",
                     idleRunLimit);
        return 1;
    }
    return written ? 0 : 1;
}
