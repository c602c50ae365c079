// What the farm shows about its instances: totals read from their statistics files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "results/statistics_records.h"

struct FarmTotals {
    std::int64_t nodes = 0;             // nodes in all statistics files read
    std::int32_t best = mismatchSlots;  // lowest mismatch count of any full board, or none
    std::int64_t fullBoards = 0;        // full boards of every mismatch count
    int filesRead = 0;                  // statistics files that could be read
    std::int64_t sideBySide = 0;  // nodes per second of the instances side by side: the sum of
                                  // each file's nodes over its seconds, as tessaly-stats shows
    int deepest = -1;             // the deepest depth, as tessaly-stats finds it; -1 for none
};

// Adds up the total.txt files of `directories`, and finds their deepest depth from those and
// their deepest.txt files, read with `pieceFile`; a missing or unreadable file adds nothing.
FarmTotals readFarmTotals(const std::vector<std::string>& directories,
                          const std::string& pieceFile);

// One status line: running time, instances alive, nodes, node rate, best score, full boards,
// and the deepest depth once one is known. `rate` is in nodes per second.
std::string farmStatusLine(std::int64_t seconds, int alive, int instances, const FarmTotals& totals,
                           double rate);

// A node count in a short form: 950, 12.3 K, 4.56 M, 7.89 G, 1.23 T.
std::string shortCount(double value);
