#include "tools/groups/trial.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "base/program_info.h"
#include "base/whole_files.h"
#include "run/groups_file.h"

std::array<SeedPair, trialSeedPairCount> trialSeedPairs(std::uint32_t seed) {
    std::array<SeedPair, trialSeedPairCount> pairs{};
    for (int k = 0; k < trialSeedPairCount; ++k)
        pairs[k] = seedPairOf({1000 * seed + 1, 1000 * seed + 2}, k);
    return pairs;
}

std::string benchBesideThisProgram() {
    const std::filesystem::path directory = programDirectory();
    if (directory.empty()) return {};
    const std::string bench = (directory / "tessaly-bench").string();
    return access(bench.c_str(), X_OK) == 0 ? bench : std::string();
}

std::array<std::vector<BenchFigures>, 3> runTrial(const std::string& bench,
                                                  const std::string& derivedText,
                                                  const TrialOptions& options, std::string& error) {
    std::array<std::vector<BenchFigures>, 3> figures;
    for (std::vector<BenchFigures>& candidate : figures)
        candidate.resize(trialSeedPairCount);
    const auto pairs = trialSeedPairs(options.seed);

    // The derived groups go to a directory of this process's own, for the benchmarks to read.
    std::error_code fault;
    std::string directory =
        (std::filesystem::temp_directory_path(fault) / "tessaly-groups.XXXXXX").string();
    if (fault || mkdtemp(directory.data()) == nullptr) {
        error = "cannot make a temporary directory: " +
                (fault ? fault.message() : std::string(std::strerror(errno)));
        return {};
    }
    const std::string derivedPath = directory + "/" + groupsFileName;
    if (const int written =
            writeWholeFile(derivedPath.c_str(), derivedText, Existing::keep, false)) {
        rmdir(directory.c_str());
        error = "cannot write " + derivedPath + ": " + std::strerror(written);
        return {};
    }

    std::vector<std::vector<std::string>> commands;
    for (std::size_t c = 0; c < candidates.size(); ++c)
        for (int p = 0; p < trialSeedPairCount; ++p) {
            std::vector<std::string> list = {bench, "--sweep-row"};
            if (candidates[c] == Candidate::derived)
                list.insert(list.end(), {"--groups", derivedPath});
            if (candidates[c] == Candidate::off) list.push_back("--no-group-rules");
            const SeedPair& seeds = pairs[p];
            list.insert(list.end(), {"--nodes", std::to_string(options.nodes), "--seeds",
                                     std::to_string(seeds.main) + "," + std::to_string(seeds.group),
                                     "k7pieces.txt"});
            commands.push_back(list);
        }
    const SweepResult sweep = runSweep(commands, options.jobs, options.progress);
    error = sweep.error;
    for (std::size_t c = 0; c < candidates.size(); ++c)
        for (int p = 0; p < trialSeedPairCount; ++p) {
            const YieldRow& row = sweep.rows[c * trialSeedPairCount + p];
            figures[c][p] = {row.nodes, static_cast<int>(row.fullBoards), row.bestScore,
                             row.medianDepth, row.cpuSeconds};
        }
    unlink(derivedPath.c_str());
    rmdir(directory.c_str());
    // A stop ends this program as the signal would have, now that nothing is left behind.
    if (sweep.stopSignal != 0) raise(sweep.stopSignal);
    return figures;
}
