// Fuzz target: a board file loaded at the start of a run, against the pieces of a fixed
// generated puzzle. After the run's restore every candidate list must hold exactly the words
// it held before the load.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/program_state.h"
#include "base/random.h"
#include "base/settings.h"
#include "fuzz_support.h"
#include "puzzle/candidate_ordering.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/list_editing.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "results/board_files.h"
#include "run/current_run.h"
#include "run/resets.h"
#include "run/run_setup.h"
#include "run/startup.h"
#include "search/board_geometry.h"
#include "search/search_state.h"
#include "tests/table_snapshot.h"
#include "tools/gen/puzzle_generator.h"

namespace {

bool isRotationOfAPiece(PieceCode code) {
    const int piece = pieceNumberOf(code);
    if (piece < 0 || piece >= pieceCount) return false;
    for (int r = 0; r < 4; ++r)
        if (puzzle.rotationTable[4 * piece + r].code == code) return true;
    return false;
}

TableSnapshot before;
int drawnGroup = 0;  // the group the set-up drew, applied again at each input

}  // namespace

// The pieces and the set-up of one run, as the run thread makes it, with fixed seeds; every
// input is loaded into this same run.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quietConsole();
    resetProgram();
    const std::string pieces = pieceFileText(generatePuzzle({7, 17, 5}));
    const std::string path =
        memoryFile(reinterpret_cast<const std::uint8_t*>(pieces.data()), pieces.size());
    readPieceFile(path.c_str());
    buildCandidateTables();
    seedRandom(program.mainRandom, 20240607u);
    seedRandom(program.groupRandom, 4242u);
    setup.groupRandomSeeded = true;
    chooseGroupAndColours();
    reorderCandidateTables();
    drawnGroup = currentRun.draws.group;
    before = snapshotTables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A fresh start of that run: its group flags again, its colours and lists as they are.
    resetRun();
    applyPieceGroup(drawnGroup);

    const std::string path = memoryFile(data, size);
    std::snprintf(program.settings.boardPath, sizeof program.settings.boardPath, "%s",
                  path.c_str());
    loadBoard();
    for (int slot = 0; slot < 256; ++slot)
        require(search.board[slot] == emptyCode || isRotationOfAPiece(search.board[slot]),
                "a slot holds a word that is no piece in a rotation");
    int outOfPlay = 0;
    for (int piece = 0; piece < pieceCount; ++piece)
        if (!search.pieceFree[piece]) ++outOfPlay;
    int placed = 0;
    for (int slot = 0; slot < 256; ++slot)
        if (search.board[slot] != emptyCode) ++placed;
    require(outOfPlay <= placed, "more pieces out of play than on the board");

    restoreAll();
    require(snapshotTables() == before, "a candidate list is not whole after the restore");
    return 0;
}
