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

namespace {

// The piece files read, by path, each read once.
using PieceFiles = std::map<std::string, Reading<PieceTables>>;

// The runs of `directories` added up, in their bands and by the deepest depth counted.
RunDepths countedRunDepths(const std::vector<DirectoryStatistics>& directories) {
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
    return depths;
}

// The tables of the piece file `path`, read once into `pieceFiles` and named then in
// `depths.pieceFiles`.
const Reading<PieceTables>& piecesOf(const std::string& path, PieceFiles& pieceFiles,
                                     RunDepths& depths) {
    const auto [entry, isNew] = pieceFiles.try_emplace(path);
    if (isNew) {
        entry->second = readPieces(path);
        depths.pieceFiles.push_back(path);
    }
    return entry->second;
}

// The deepest board of `directory`, judged by the solver's rule with `pieceFile` or the piece
// file found for it among `names`, its depth measured; nothing when it has none, or with a
// sentence in `depths.problems` when it is passed over.
std::optional<DeepestBoard> directoryBoard(const std::string& directory,
                                           const std::string& pieceFile,
                                           const std::vector<std::string>& names,
                                           PieceFiles& pieceFiles, RunDepths& depths) {
    DeepestBoard found;
    found.path = pathIn(directory, deepestBoardFileName);
    const auto passOver = [&](const std::string& problem) {
        depths.problems.push_back(joined(found.path, ": ", problem, "; passed over"));
        return std::nullopt;
    };
    std::string text;
    const FileReading reading = readRegularFile(found.path.c_str(), largestDeepestBoardFile, text);
    if (reading.fault == FileReading::cannotOpen && reading.error == ENOENT) return std::nullopt;
    if (reading.fault != FileReading::none) return passOver(readingProblem(reading));
    found.pieceFile = pieceFile.empty() ? findPieceFile(found.path, names) : pieceFile;
    if (found.pieceFile.empty())
        return passOver("no piece file k7pieces.txt was found to read it with");
    const Reading<PieceTables>& pieces = piecesOf(found.pieceFile, pieceFiles, depths);
    if (!pieces.value)
        return passOver(
            joined("the piece file ", found.pieceFile, " cannot be used: ", pieces.problem));
    found.board.format = BoardFormat::grid;
    const std::string problem = deepestBoardProblem(text, *pieces.value, found.board.slots);
    if (!problem.empty())
        return passOver(joined("is no deepest board of ", found.pieceFile, " (", problem, ")"));
    const BoardDepth depth = depthOf(found.board.slots);
    found.depth = depth.depth;
    found.mismatches = depth.mismatches;
    return found;
}

}  // namespace

RunDepths readRunDepths(const std::vector<DirectoryStatistics>& directories,
                        const std::string& pieceFile) {
    RunDepths depths = countedRunDepths(directories);
    const std::vector<std::string> names = namesOf(directories);
    PieceFiles pieceFiles;
    for (const std::string& directory : names) {
        std::optional<DeepestBoard> found =
            directoryBoard(directory, pieceFile, names, pieceFiles, depths);
        if (!found ||
            (depths.board && !isBetterDeepest({found->depth, found->mismatches},
                                              {depths.board->depth, depths.board->mismatches})))
            continue;
        // Checked as tessaly-show checks a board file: only the board shown.
        found->check =
            checkBoard(found->board, *pieceFiles.at(found->pieceFile).value, found->path);
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
