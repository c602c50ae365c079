// A yield sweep: one setting of the search run over many seed pairs, a benchmark process per
// pair, and the figures that judge it per minute of CPU time: how deep the runs go, how many
// full boards they find. tessaly-bench --pairs runs one and prints its rows and a summary;
// tessaly-bench --compare sets two sweeps side by side; tessaly-groups' trial runs its
// candidates as sweeps. A pair's figures are one line of comma-separated values, written and
// read by this code alone.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/run_depths.h"

struct SeedPair {
    std::uint32_t main = 0, group = 0;
    bool operator==(const SeedPair&) const = default;
};
// Seed pair k (from 0) of a sweep that begins with `first`: both seeds plus 2k, modulo 2^32.
SeedPair seedPairOf(SeedPair first, int k);

// The figures of one seed pair.
struct YieldRow {
    SeedPair seeds;
    double cpuSeconds = 0;  // the benchmark process's own CPU time
    std::int64_t nodes = 0;
    std::int64_t runs = 0;
    // Runs whose deepest depth reached each of deepestDepthBands.
    std::array<std::int64_t, deepestDepthBands.size()> runsReaching{};
    std::int64_t deepPlacements = 0;  // placements at deepPlacementsFrom and deeper
    std::int64_t fullBoards = 0;
    int bestScore = 0;  // 0 without a full board
    double medianDepth = -1;
};

// The header line of the rows, and a row as a line (each with its line end).
std::string yieldRowHeader();
std::string yieldRowLine(const YieldRow& row);
// The rows of a sweep's output: its header line, then rows; lines that begin with '#' and blank
// lines are skipped. Nothing, with `problem` set naming the line, when the header is missing, a
// line is not a row, or a row is one no benchmark prints: a negative count, more runs reaching
// a depth than reached a shallower one, CPU seconds not positive and finite or so few that a
// figure per minute overflows, a best score that is no score, a median depth that is no depth.
std::optional<std::vector<YieldRow>> readYieldRows(std::string_view text, std::string& problem);

// The summary of a sweep, as lines that begin with '#': for each figure per CPU-minute its
// median and range over the pairs and its rate over all pairs together, then the best score and
// the median of the pairs' median deepest depths.
std::string yieldSummary(const std::vector<YieldRow>& rows);
// Two sweeps over the same seed pairs side by side, paired by their seeds: for each figure the
// rate of each over all pairs, B's over A's, on how many pairs each was ahead, and the p-value of
// a two-sided sign test over the pairs that differ; sums of counts too large to add up are held
// at the largest count. Nothing, with `problem` set, when a seed pair is twice in one sweep or
// the two do not cover the same seed pairs.
std::optional<std::string> compareSweeps(const std::vector<YieldRow>& a,
                                         const std::vector<YieldRow>& b, std::string& problem);
// The two-sided sign test: the chance of a split at least as uneven as `wins` to `losses` when
// either side is as likely to win each pair.
double signTestP(int wins, int losses);

// What a sweep gave: a row per command, in their order, unless a benchmark failed or a stop
// signal came (`error` says which). A stop signal has ended the benchmarks; the caller ends
// itself with it (raise) once it has cleaned up, as the signal would have ended it.
struct SweepResult {
    std::vector<YieldRow> rows;
    std::string error;
    int stopSignal = 0;
};
// Runs every benchmark command (the program, then its arguments; each prints one row with
// --sweep-row), `jobs` at a time, as children that end with this program however it ends, with
// a progress line on the error stream if asked.
SweepResult runSweep(const std::vector<std::vector<std::string>>& commands, int jobs,
                     bool progress);
