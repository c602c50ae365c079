#include "results/deepest_board.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/console.h"
#include "base/file_reading.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "base/whole_files.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "results/board_grid.h"
#include "results/board_rules.h"
#include "results/grid_writing.h"
#include "results/results_state.h"
#include "search/board_geometry.h"
#include "search/depth_windows.h"
#include "search/search_state.h"

BoardDepth depthOf(const std::array<PieceCode, 256>& slots) {
    BoardDepth found{-1, mismatchedEdges(slots)};
    for (int d = 0; d < depthCount; ++d)
        if (slots[fillOrder[d]] != emptyCode) found.depth = d;
    return found;
}

std::string deepestBoardProblem(const std::string& text, const PieceTables& pieces,
                                std::array<PieceCode, 256>& slots) {
    slots.fill(emptyCode);
    if (text.empty()) return "it is empty";
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (file == nullptr) return std::strerror(errno);
    std::string problem;
    const int lines = readGridLines(file, [&](const GridLine& line) {
        if (!problem.empty()) return;
        if (line.cells.size() != gridCellsPerRow)
            problem = "line " + std::to_string(line.lineNumber) + " has not 16 cells";
        for (std::size_t c = 0; problem.empty() && c < line.cells.size(); ++c) {
            int piece = -1;
            int rotation = 0;
            if (!parseCellPiece(line.cells[c].c_str(), piece, rotation))
                problem = "line " + std::to_string(line.lineNumber) + ", cell " +
                          std::to_string(c + 1) + " is not a piece";
            else if (piece >= 0)
                slots[gridCellsPerRow * line.row + c] = rotate(rotation, pieces.codes[piece]);
        }
    });
    std::fclose(file);
    if (!problem.empty()) return problem;
    if (lines != gridRows) return "it has " + std::to_string(lines) + " board lines, not 16";
    const std::string broken = boardRuleBreak(slots, pieces);
    if (!broken.empty()) return broken;
    const BoardDepth found = depthOf(slots);
    // The search fills the squares in fill order, so a board a run placed has no empty square
    // before its deepest one; one with a gap holds squares that no run reached.
    for (int d = 0; d < found.depth; ++d)
        if (slots[fillOrder[d]] == emptyCode)
            return "the square of depth " + std::to_string(d) +
                   " is empty, though it holds a piece at depth " + std::to_string(found.depth);
    if (found.mismatches > mostFullBoardMismatches)
        return "more mismatched edges than a board of these pieces may have";
    return {};
}

void readDeepestBoard() {
    std::string text;
    FileReading reading;
    retryPassingFaults([&] {
        reading = readRegularFile(deepestBoardFileName, largestDeepestBoardFile, text);
        return reading.fault == FileReading::none || !isPassingError(reading.error);
    });
    if (reading.fault == FileReading::cannotOpen && reading.error == ENOENT) return;
    const std::string where =
        std::string(program.settings.workingDirectory) + "/" + deepestBoardFileName;
    std::string problem;
    if (reading.fault == FileReading::none) {
        std::array<PieceCode, 256> slots{};
        problem =
            deepestBoardProblem(text, PieceTables{puzzle.pieceCodes, puzzle.borderCount}, slots);
        if (problem.empty()) {
            const BoardDepth found = depthOf(slots);
            results.deepestBoard.board = slots;
            results.deepestBoard.depth = found.depth;
            results.deepestBoard.mismatches = found.mismatches;
            return;
        }
    } else if (isPassingError(reading.error)) {
        printErr("%s %s; it is not written over during this start\n", where.c_str(),
                 readingProblem(reading).c_str());
        results.deepestBoard.keeping = false;
        return;
    } else {
        problem = readingProblem(reading);
    }
    const std::string keptAs = moveAside(deepestBoardFileName, "damaged", fileStamp().c_str());
    if (keptAs.empty()) {
        printErr(
            "%s is no deepest board (%s) and cannot be moved aside (%s); it is not written "
            "over\n",
            where.c_str(), problem.c_str(), std::strerror(errno));
        results.deepestBoard.keeping = false;
        return;
    }
    printErr("%s is no deepest board (%s); it is kept as %s/%s\n", where.c_str(), problem.c_str(),
             program.settings.workingDirectory, keptAs.c_str());
}

void armDeepestBoard() {
    if (!results.deepestBoard.keeping) return;
    search.keepFrom = results.deepestBoard.depth < 0 ? 0 : results.deepestBoard.depth;
    search.deepestDepth = results.deepestBoard.depth;
    search.deepestMismatches = results.deepestBoard.depth < 0 ? 0 : results.deepestBoard.mismatches;
}

std::array<PieceCode, 256> runDeepestBoard() {
    std::array<PieceCode, 256> slots = filled<PieceCode, 256>(emptyCode);
    slots[hintSlot] = search.deepestBoard[hintSlot];
    for (int d = 0; d <= search.deepestDepth; ++d)
        slots[fillOrder[d]] = search.deepestBoard[fillOrder[d]];
    return slots;
}

void takeDeeperBoard() {
    if (!search.deeperBoardKept) return;
    search.deeperBoardKept = false;
    const std::array<PieceCode, 256> slots = runDeepestBoard();
    const BoardDepth found = depthOf(slots);
    if (!isBetterDeepest(found, {results.deepestBoard.depth, results.deepestBoard.mismatches}))
        return;
    results.deepestBoard.board = slots;
    results.deepestBoard.depth = found.depth;
    results.deepestBoard.mismatches = found.mismatches;
    results.deepestBoard.unsaved = true;
}

std::string deepestBoardText(const DeepestBoardState& kept) {
    return gridText(kept.board, "deepest board: depth " + std::to_string(kept.depth) + ", " +
                                    std::to_string(kept.depth + 2) + " pieces, " +
                                    std::to_string(kept.mismatches) + " mismatched edges");
}

void saveDeepestBoard(bool sync) {
    if (!results.deepestBoard.unsaved || !results.deepestBoard.keeping ||
        !program.settings.writeFiles)
        return;
    const int error = writeWholeFile(deepestBoardFileName, deepestBoardText(results.deepestBoard),
                                     Existing::replace, sync);
    if (error == 0) {
        results.deepestBoard.unsaved = false;
        results.deepestBoard.failureShown = false;
        return;
    }
    if (!results.deepestBoard.failureShown)
        printErr("could not write to %s (%s)\n", deepestBoardFileName, std::strerror(error));
    results.deepestBoard.failureShown = true;
}
