// Fuzz target: a board as tessaly-show reads it (a record board SCORE.tsr, or a board file),
// checked against the pieces of a fixed generated puzzle, reported, drawn and written as a
// board file. A board file it reads gives the same board when its written grid is read back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "results/grid_writing.h"
#include "tools/common/board_check.h"
#include "tools/common/board_reading.h"
#include "tools/common/svg_drawing.h"
#include "tools/gen/puzzle_generator.h"

namespace {
PieceTables pieces;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string text = pieceFileText(generatePuzzle({8, 9, 5}));
    const std::string path =
        memoryFile(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    require(parsePieceFile(path.c_str(), pieces).kind == PieceFileError::none,
            "the generated piece file is not read");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Reading<ReadBoard> board = readBoardText(text, pieces);
    require(board.value.has_value() != !board.problem.empty(),
            "a reading with and without a value");
    if (!board.value) return 0;
    const BoardCheck check = checkBoard(*board.value, pieces, "468.tsr");
    require(check.filled >= 0 && check.filled <= 256, "a filled count outside 0 to 256");
    reportText("468.tsr", *board.value, check);
    svgText("468.tsr", *board.value, check);
    const std::string grid = gridText(board.value->slots, "again");
    if (board.value->format != BoardFormat::grid) return 0;
    const Reading<ReadBoard> again = readBoardText(grid, pieces);
    require(again.value && again.value->slots == board.value->slots,
            "a board file does not read back from its own grid");
    return 0;
}
