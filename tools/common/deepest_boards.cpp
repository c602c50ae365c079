#include "tools/common/deepest_boards.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <utility>

#include "base/file_reading.h"
#include "base/printable_text.h"
#include "results/deepest_board.h"
#include "stats/statistics_table.h"
#include "tools/common/board_picture.h"
#include "tools/common/board_reading.h"
#include "tools/common/statistics_merge.h"
#include "tools/common/text_joining.h"

std::string bandName(std::size_t band) {
    if (band == 0) return joined("below ", deepestDepthBands[0]);
    const int from = deepestDepthBands[band - 1];
    const int to = band < deepestDepthBands.size() ? deepestDepthBands[band] - 1 : depthCount - 1;
    return from == to ? joined(from) : joined(from, "-", to);
}

RunDepths readRunDepths(const std::vector<DirectoryStatistics>& directories,
                        const std::string& pieceFile) {
    RunDepths depths;
    std::vector<StatsRecord> records;
    for (const DirectoryStatistics& directory : directories)
        records.push_back(directory.record);
    const StatsRecord sum = mergeRecords(records);
    for (int d = 0; d < depthCount; ++d) {
        std::int64_t& band = depths.runs[depthBandOf(d)];
        band = addClamped(band, sum.runsByDeepest[d]);
    }
    depths.deepest = deepestRunDepth(sum);

    const std::vector<std::string> names = namesOf(directories);
    std::map<std::string, Reading<PieceTables>> tables;  // by piece file, each read once
    for (const std::string& directory : names) {
        const std::string path = pathIn(directory, deepestBoardFileName);
        const auto passOver = [&](const std::string& problem) {
            depths.problems.push_back(joined(path, ": ", problem, "; passed over"));
        };
        std::string text;
        const FileReading reading = readRegularFile(path.c_str(), largestDeepestBoardFile, text);
        if (reading.fault == FileReading::cannotOpen && reading.error == ENOENT) continue;
        if (reading.fault != FileReading::none) {
            passOver(readingProblem(reading));
            continue;
        }
        const std::string pieces = pieceFile.empty() ? findPieceFile(path, names) : pieceFile;
        if (pieces.empty()) {
            passOver("no piece file k7pieces.txt was found to read it with");
            continue;
        }
        const auto [entry, isNew] = tables.try_emplace(pieces);
        if (isNew) {
            entry->second = readPieces(pieces);
            depths.pieceFiles.push_back(pieces);
        }
        if (!entry->second.value) {
            passOver(joined("the piece file ", pieces, " cannot be used: ", entry->second.problem));
            continue;
        }
        DeepestBoard found;
        found.path = path;
        found.pieceFile = pieces;
        found.board.format = BoardFormat::grid;
        const std::string problem =
            deepestBoardProblem(text, *entry->second.value, found.board.slots);
        if (!problem.empty()) {
            passOver(joined("is no deepest board of ", pieces, " (", problem, ")"));
            continue;
        }
        const BoardDepth depth = depthOf(found.board.slots);
        if (depths.board &&
            (depth.depth < depths.board->depth ||
             (depth.depth == depths.board->depth && depth.mismatches >= depths.board->mismatches)))
            continue;
        found.depth = depth.depth;
        found.mismatches = depth.mismatches;
        found.check = checkBoard(found.board, *entry->second.value, path);
        depths.board = std::move(found);
    }
    if (depths.board && depths.board->depth > depths.deepest) depths.deepest = depths.board->depth;
    return depths;
}

std::string runDepthsText(const RunDepths& depths) {
    std::string text = depths.deepest < 0 ? "Deepest depth: none counted yet\n"
                                          : joined("Deepest depth: ", depths.deepest, "\n");
    if (depths.board)
        text += joined("Deepest board: ", printableText(depths.board->path), ", depth ",
                       depths.board->depth, ", ", depths.board->check.filled, " pieces, ",
                       depths.board->mismatches, " mismatched edges\n");
    else
        text += "No deepest board in these directories.\n";
    text += "Runs by deepest depth:\n";
    // Each band's name and count right-aligned in a field of the tables; a count wider than
    // its field widens its line rather than be hidden.
    for (std::size_t band = 0; band < depthBandCount; ++band) {
        const std::string count = joined(static_cast<long long>(depths.runs[band]));
        text +=
            joined(field(bandName(band)), " ",
                   std::string(fieldWidth - std::min(fieldWidth, count.size()), ' '), count, "\n");
    }
    return text;
}
