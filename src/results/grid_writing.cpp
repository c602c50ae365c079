#include "results/grid_writing.h"

#include <cstdio>

#include "search/board_geometry.h"

std::string gridText(const std::array<PieceCode, 256>& slots, const std::string& comment) {
    std::string text = "# ";
    // A '/' would make the comment a board line, and a line end would end the comment.
    for (const char c : comment)
        text += (c == '/' || c == '\n' || c == '\r') ? ' ' : c;
    text += "\n# slot rows 15 down to 0 as the solver loads them; a cell is piece and rotation\n";
    return text + gridBoardLines(slots);
}

std::string gridBoardLines(const std::array<PieceCode, 256>& slots) {
    std::string text;
    char cell[16];
    for (int row = boardSize - 1; row >= 0; --row) {
        for (int col = 0; col < boardSize; ++col) {
            const PieceCode code = slots[boardSize * row + col];
            if (code == emptyCode)
                std::snprintf(cell, sizeof cell, "---/-");
            else
                std::snprintf(cell, sizeof cell, "%3d/%d", pieceNumberOf(code) + 1,
                              rotationOf(code));
            if (col > 0) text += ' ';
            text += cell;
        }
        text += '\n';
    }
    return text;
}
