#include "search/placed_removals.h"

#include "puzzle/list_editing.h"
#include "search/board_geometry.h"
#include "search/depth_windows.h"
#include "search/search_state.h"

void removePlacedPieces(int n) {
    for (int f = 0; f < n && f < depthCount; ++f) {
        const int slot = fillOrder[f];
        const int piece = pieceNumberOf(search.board[slot]);
        if (piece >= 0) removePieceOfKind(piece, squareKind[slot], f <= lastColourRemovalDepth);
    }
}
