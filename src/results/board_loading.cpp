// Loading a BoardFile at the start of a run, by the grid rules every program reads it with.
// Whatever the file holds, the load reads at most sixteen board lines, never writes past the
// board or the undo stacks, and reports each fault on the error stream, taking the cell, the
// rest of the row or the rest of the board as empty.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/console.h"
#include "base/file_reading.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/list_editing.h"
#include "results/board_files.h"
#include "results/board_grid.h"
#include "results/results_state.h"
#include "search/board_geometry.h"
#include "search/search_state.h"

namespace {

// Takes the piece of `code`, read from cell `cellIndex` of `lineNumber`, out of play on `slot`.
void takePiece(PieceCode code, int slot, std::int64_t lineNumber, int cellIndex) {
    const int p = pieceNumberOf(code);
    if (search.pieceFree[p]) {
        search.pieceFree[p] = 0;
        if (search.groupFlags.inFirstList[p])
            ++search.firstListPlaced;
        else if (search.groupFlags.inSecondList[p])
            ++search.secondListPlaced;
    } else {
        // Already out of play and counted: only the list removals are repeated, and list
        // editing reports the codes it no longer finds.
        printErr("Board file %s, line %lld, cell %d: piece %d is named again\n",
                 program.settings.boardPath, static_cast<long long>(lineNumber), cellIndex + 1,
                 p + 1);
    }
    removePieceOfKind(p, squareKind[slot], true);
}

// Loads the cells of one board line into its slot row.
void loadRow(const GridLine& line) {
    const int cells = static_cast<int>(line.cells.size());
    for (int c = 0; c < cells; ++c) {
        const int slot = gridCellsPerRow * line.row + c;
        PieceCode code = emptyCode;
        if (!parseCell(line.cells[c].c_str(), code))
            printErr("Board file %s, line %lld, cell %d: \"%s\" is not a piece, taken as empty\n",
                     program.settings.boardPath, static_cast<long long>(line.lineNumber), c + 1,
                     shownCell(line.cells[c]).c_str());
        search.board[slot] = code;
        if (code != emptyCode) takePiece(code, slot, line.lineNumber, c);
    }
    if (cells < gridCellsPerRow)
        printErr("Board file %s, line %lld: only %d cells, the rest of the row taken as empty\n",
                 program.settings.boardPath, static_cast<long long>(line.lineNumber), cells);
}

// A run loads the board file anew every time, and a farm keeps its instances' output for
// months: a load whose faults are those of the load before prints nothing, so an unchanged
// file reports its faults once per start. Of the file's own faults (the lines that begin
// with "Board file ") at most shownFaultLimit are shown, with what list editing reports for
// them, and then how many more there are.
constexpr int shownFaultLimit = 30;
constexpr const char* faultPrefix = "Board file ";

// Prints the faults of a load (the lines it printed on the error stream) unless they repeat
// the last load's.
void showFaults(const std::string& faults) {
    if (faults == results.boardLoading.lastFaults) return;
    results.boardLoading.lastFaults = faults;
    int fileFaults = 0;
    std::size_t shownEnd = 0;
    for (std::size_t end; (end = faults.find('\n', shownEnd)) != std::string::npos;
         shownEnd = end + 1) {
        if (faults.compare(shownEnd, std::strlen(faultPrefix), faultPrefix) != 0) continue;
        if (fileFaults == shownFaultLimit) break;
        ++fileFaults;
    }
    int hidden = 0;
    for (std::size_t at = faults.find(faultPrefix, shownEnd); at != std::string::npos;
         at = faults.find(faultPrefix, at + 1))
        hidden += at == 0 || faults[at - 1] == '\n';
    printErr("%s", faults.substr(0, shownEnd).c_str());
    if (hidden > 0)
        printErr("%s%s: %d more faults, not shown\n", faultPrefix, program.settings.boardPath,
                 hidden);
}

// Loads the board file at settings.boardPath, printing its faults on the error stream. Only
// a regular file of at most largestBoardFile bytes is read: a run reads the file anew every
// time, and a directory, a device or a pipe could make it wait, or read, without end.
void loadBoardFile() {
    FileReading opening;
    std::FILE* file = openRegularFile(program.settings.boardPath, opening);
    if (file == nullptr) {
        printErr("Cannot open %s\n", program.settings.boardPath);
        return;
    }
    struct stat status {};
    if (fstat(fileno(file), &status) == 0 &&
        static_cast<std::uint64_t>(status.st_size) > largestBoardFile) {
        std::fclose(file);
        printErr(
            "Board file %s is larger than %llu bytes, too large for a board file; nothing "
            "is loaded\n",
            program.settings.boardPath, static_cast<unsigned long long>(largestBoardFile));
        return;
    }
    printOut("load board %s\n", program.settings.boardPath);
    search.clearProgress();

    const int lines = readGridLines(file, loadRow);
    std::fclose(file);
    if (lines < gridRows)
        printErr("Board file %s ends after %d board lines, the other rows taken as empty\n",
                 program.settings.boardPath, lines);
}

}  // namespace

void loadBoard() {
    // The load's faults, and those list editing reports for it, are collected first.
    char* faults = nullptr;
    std::size_t length = 0;
    std::FILE* collected = open_memstream(&faults, &length);
    if (collected == nullptr) {
        loadBoardFile();
        return;
    }
    std::FILE* const errorStream = process.consoleErr;
    process.consoleErr = collected;
    loadBoardFile();
    process.consoleErr = errorStream;
    std::fclose(collected);
    showFaults(std::string(faults, length));
    std::free(faults);
}
