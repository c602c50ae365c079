#include "tools/bench/workload.h"

#include <time.h>

#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "base/formatted_text.h"
#include "base/program_state.h"
#include "base/random.h"
#include "base/settings.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/piece_file.h"
#include "results/full_boards.h"
#include "results/record_board_names.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "run/current_run.h"
#include "run/groups_file.h"
#include "run/resets.h"
#include "run/run_budget.h"
#include "run/run_loop.h"
#include "run/run_setup.h"
#include "search/depth_profile.h"
#include "search/run_depths.h"
#include "search/search_state.h"

namespace {

// A digest of every full board's words (flags included) and mismatches, in the order found.
std::uint64_t boardsDigest = 14695981039346656037ull;

void digestFullBoard() {
    auto mix = [](std::uint32_t word) { boardsDigest = (boardsDigest ^ word) * 1099511628211ull; };
    for (const PieceCode code : search.board)
        mix(static_cast<std::uint32_t>(code));
    mix(static_cast<std::uint32_t>(search.mismatchCount));
}

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Where the nodes of the workload went, added up run by run (--profile).
struct Profile {
    static constexpr const std::array<int, 5>& bandStarts = profileBandStarts;
    static constexpr int firstDeepDepth = firstProfiledDeepDepth;
    std::array<std::int64_t, bandStarts.size()> nodesFrom{};
    std::array<std::int64_t, depthCount - firstDeepDepth> nodesFromDeep{};
    // The runs by how they ended, in the order of runEndTexts.
    std::array<int, runEndTexts.size()> endCount{};
    // The counters of the options that keep some, by row.
    std::array<OptionCounts, searchOptionRows.size()> optionSums{};
    // The runs that reached firstDeadEndDepth, by the band of their deepest depth and what ended
    // their deepest branch: the DeadEnd values, a stop in the branch counted as none (a full
    // board is band 254's).
    static constexpr std::array<const char*, 5> deadEndNames{
        "stopped in it", "rim", "mismatch limit", "no fit", "mismatch bound"};
    std::array<std::array<int, deadEndNames.size()>, depthBandCount> deadEnds{};

    void addRun(RunEnd end) {
        const int deepest = deepestPlacedDepth();
        if (deepest >= firstDeadEndDepth) {
            const DeadEnd ended = runRecord<DepthProfile>().deadEndDepth == deepest
                                      ? runRecord<DepthProfile>().deadEnd
                                      : DeadEnd::none;
            ++deadEnds[depthBandOf(deepest)][static_cast<std::size_t>(ended)];
        }
        nodesFrom[0] += search.nodeCount;
        for (std::size_t b = 1; b < bandStarts.size(); ++b)
            nodesFrom[b] += nodesFromDepth(bandStarts[b]);
        for (int d = firstDeepDepth; d < depthCount; ++d)
            nodesFromDeep[d - firstDeepDepth] += nodesFromDepth(d);
        for (std::size_t i = 0; i < runEndTexts.size(); ++i)
            endCount[i] += runEndTexts[i].end == end;
        for (const SearchOptionRow& row : searchOptionRows) {
            if (row.profileCounts == nullptr) continue;
            const OptionCounts counts = row.profileCounts();
            OptionCounts& sums = optionSums[SearchOptions::indexOf(row)];
            for (std::size_t i = 0; i < sums.size(); ++i)
                sums[i] += counts[i];
        }
    }

    // What ended the deepest branch of the runs that reached firstDeadEndDepth, by band: the runs
    // and their rate a CPU-minute, then how many ended each way.
    std::string deadEndText(double cpuSeconds) const {
        std::string lines;
        const double minutes = cpuSeconds > 0 ? cpuSeconds / 60 : 1;
        for (std::size_t band = depthBandOf(firstDeadEndDepth); band < depthBandCount; ++band) {
            const int first = deepestDepthBands[band - 1];
            const int last = band < deepestDepthBands.size() ? deepestDepthBands[band] - 1 : first;
            int runs = 0;
            for (const int count : deadEnds[band])
                runs += count;
            lines += first == last ? printed("deepest %d:", first)
                                   : printed("deepest %d-%d:", first, last);
            lines += printed(" %d runs (%.2f a CPU-minute)", runs, runs / minutes);
            if (first == depthCount - 1) {
                lines += ", full boards\n";
                continue;
            }
            const char* separator = "; ended by";
            for (const DeadEnd e : {DeadEnd::rim, DeadEnd::mismatchLimit, DeadEnd::noFit,
                                    DeadEnd::bound, DeadEnd::none}) {
                const auto i = static_cast<std::size_t>(e);
                lines += printed("%s %s %d", separator, deadEndNames[i], deadEnds[band][i]);
                separator = ",";
            }
            lines += "\n";
        }
        return lines;
    }

    std::string text(double cpuSeconds) const {
        std::string lines;
        const double all = nodesFrom[0] > 0 ? static_cast<double>(nodesFrom[0]) : 1;
        for (std::size_t b = 0; b < bandStarts.size(); ++b) {
            const int last = b + 1 < bandStarts.size() ? bandStarts[b + 1] - 1 : depthCount - 1;
            const std::int64_t from = nodesFrom[b];
            const std::int64_t beyond = b + 1 < bandStarts.size() ? nodesFrom[b + 1] : 0;
            lines += printed("nodes at depths %d-%d %lld (%.1f %%)\n", bandStarts[b], last,
                             static_cast<long long>(from - beyond), 100.0 * (from - beyond) / all);
        }
        lines += printed("placements at depths %d-%d", firstDeepDepth, depthCount - 1);
        for (std::size_t i = 0; i < nodesFromDeep.size(); ++i) {
            const std::int64_t beyond = i + 1 < nodesFromDeep.size() ? nodesFromDeep[i + 1] : 0;
            lines += printed(" %lld", static_cast<long long>(nodesFromDeep[i] - beyond));
        }
        lines += "\nrun ends";
        // A stop request ends no benchmark.
        for (std::size_t i = 0; i < runEndTexts.size(); ++i)
            if (runEndTexts[i].end != RunEnd::stopRequest)
                lines += printed("%s %s %d", i == 0 ? "" : ",", runEndTexts[i].name, endCount[i]);
        lines += "\n";
        lines += deadEndText(cpuSeconds);
        // The options' lines, of those on in the last run.
        for (const SearchOptionRow& row : searchOptionRows)
            if (row.profileLine != nullptr && runOptions[row] != 0)
                lines += row.profileLine(optionSums[SearchOptions::indexOf(row)]);
        return lines;
    }
};

// Sets up the records from their start values and the workload's pieces, groups and options.
bool setUp(const Workload& workload, std::string& error) {
    resetProgram();
    readPieceFile(workload.pieceFile.c_str());
    buildCandidateTables();
    if (!workload.groupsFile.empty()) {
        error = readGroupsFile(workload.groupsFile, setup.groups);
        if (!error.empty()) return false;
    }
    if (workload.noGroupRules) setup.groups.rules = StepRules::noGroups;
    for (const SearchOptionRow& row : searchOptionRows) {
        const std::int64_t given = workload.options[row];
        if (given != 0) setup.groups.options[row] = given;
        if (setup.groups.options[row] == 0 || row.refusal == nullptr) continue;
        const std::string fault = row.refusal();
        if (!fault.empty()) {
            std::string name = row.name;
            name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
            error = "tessaly-bench: the " + name + " cannot be used here: " + fault;
            return false;
        }
    }
    program.settings.writeFiles = false;
    results.fullBoards.watcher = digestFullBoard;
    boardsDigest = 14695981039346656037ull;
    std::snprintf(program.settings.boardPath, pathCapacity, "%s", workload.boardFile.c_str());
    seedRandom(program.mainRandom, workload.seeds.main);
    seedRandom(program.groupRandom, workload.seeds.group);
    setup.groupRandomSeeded = true;
    return true;
}

}  // namespace

WorkloadFigures runWorkload(const Workload& workload, std::string& error) {
    WorkloadFigures figures;
    const double cpuAtStart = processCpuSeconds();
    if (!setUp(workload, error)) return figures;
    YieldRow& row = figures.row;
    row.seeds = workload.seeds;
    std::vector<int> depths;
    Profile profile;
    const auto start = std::chrono::steady_clock::now();
    const double cpuAtFirstRun = processCpuSeconds();
    for (int run = 1; run <= workload.runs; ++run) {
        if (workload.nodes > 0) {
            if (row.nodes >= workload.nodes) break;
            // The run stops, without a mark, where the workload's node total is reached.
            program.settings.runNodeLimit = workload.nodes - row.nodes;
        }
        const std::int64_t boardsBefore = results.fullBoards.count;
        try {
            performRun();
            currentRun.budget.end = RunEnd::exhausted;
        } catch (const RunStopped&) {
            // The budget or the node total ended the run; budget.end says which.
        }
        row.nodes += search.nodeCount;
        ++row.runs;
        const int deepest = deepestPlacedDepth();
        depths.push_back(deepest);
        for (std::size_t b = 0; b < deepestDepthBands.size(); ++b)
            row.runsReaching[b] += deepest >= deepestDepthBands[b];
        row.deepPlacements += nodesFromDepth(deepPlacementsFrom);
        const char* end = runEndText(currentRun.budget.end).name;
        profile.addRun(currentRun.budget.end);
        if (workload.verbose) {
            const std::string group = setup.groups.rules == StepRules::groups
                                          ? "group " + std::to_string(currentRun.draws.group)
                                          : std::string("groups off");
            std::printf("run %d: %s, end %s, nodes %lld, full boards %lld, depth %d\n", run,
                        group.c_str(), end, static_cast<long long>(search.nodeCount),
                        static_cast<long long>(results.fullBoards.count - boardsBefore), deepest);
        }
        figures.idleRuns = search.nodeCount == 0 ? figures.idleRuns + 1 : 0;
        if (figures.idleRuns == idleRunLimit) break;
    }
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.cpuSeconds = processCpuSeconds() - cpuAtFirstRun;
    const int best =
        std::min(results.statistics.sinceStart.best, results.statistics.grandTotal.best);
    row.fullBoards = results.fullBoards.count;
    row.bestScore = best < mismatchSlots ? scoreOf(best) : 0;
    row.medianDepth = medianDepth(depths);
    row.cpuSeconds = processCpuSeconds() - cpuAtStart;
    figures.boardsDigest = boardsDigest;
    if (setup.groups.options.of<ProfileOption>() != 0)
        figures.profile = profile.text(row.cpuSeconds);
    return figures;
}
