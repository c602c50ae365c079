#include "puzzle/list_editing.h"

#include "run/console.h"
#include "search/board_geometry.h"
#include "search/search_state.h"

UndoStack pairUndo{};
UndoStack topUndo{};
UndoStack leftUndo{};

namespace {

// Last fill position whose interior piece is also taken out of the one-colour tables.
constexpr int lastColourRemovalPosition = 110;

constexpr PieceCode withoutFlag(PieceCode c) {
    return c & ~lastInListBit;
}

// Removes `code` from the list at `slot` of `table` using the next record of `stack`, or
// refuses with a message when the stack has no room left.
void pushRemoval(UndoStack& stack, CandidateList* table, int slot, PieceCode code) {
    if (stack.count >= undoStackSize) {
        printErr("removeFromList: undo stack full, piece %d rotation %d not removed\n",
                 pieceNumberOf(code), rotationOf(code));
        ++stack.refused;
        return;
    }
    removeFromList(table, slot, code, stack.records[stack.count]);
    ++stack.count;
}

// Undoes the most recent removal of `stack`: a refused one first, then a recorded one.
void popRestore(UndoStack& stack) {
    if (stack.refused > 0) {
        --stack.refused;
        return;
    }
    if (stack.count <= 0) return;
    --stack.count;
    restoreFromList(stack.records[stack.count]);
}

void restoreFour(UndoStack& stack) {
    for (int r = 0; r < 4; ++r)
        popRestore(stack);
}

bool holdsRemovals(const UndoStack& stack) {
    return stack.count > 0 || stack.refused > 0;
}

}  // namespace

void resetUndoStacks() {
    for (UndoStack* stack : {&pairUndo, &topUndo, &leftUndo}) {
        stack->count = 0;
        stack->refused = 0;
    }
}

void removeFromList(CandidateList* table, int slot, PieceCode code, UndoRecord& record) {
    const CandidateList list = table[slot];
    if (list == nullptr) {
        printErr("removeFromList: Piece not found %d\n", code);
        record.position = -1;
        return;
    }
    PieceCode* entries = list + 1;
    const PieceCode wanted = withoutFlag(code);
    int i = 0;
    while (entries[i] != emptyCode && withoutFlag(entries[i]) != wanted)
        ++i;
    if (entries[i] == emptyCode) {
        printErr("removeFromList: Piece not found %d\n", code);
        record.position = -1;
        checkList(list);
        return;
    }

    record.position = i;
    record.table = table;
    record.slot = slot;
    record.code = wanted;
    if (entries[i + 1] == emptyCode) {
        // The last entry goes: its predecessor becomes last, or the list is now empty.
        if (i > 0) {
            entries[i - 1] |= lastInListBit;
        } else {
            record.savedList = list;
            table[slot] = nullptr;
        }
        entries[i] = emptyCode;
    } else {
        // The last entry fills the gap so that the list stays packed.
        int j = i + 1;
        while (entries[j + 1] != emptyCode)
            ++j;
        entries[i] = withoutFlag(entries[j]);
        entries[j - 1] |= lastInListBit;
        entries[j] = emptyCode;
    }
    checkList(list);
}

void restoreFromList(const UndoRecord& record) {
    if (record.position < 0) return;
    CandidateList* table = record.table;
    if (table[record.slot] == nullptr) table[record.slot] = record.savedList;
    const CandidateList list = table[record.slot];
    PieceCode* entries = list + 1;
    const int i = record.position;
    if (entries[i] == emptyCode) {
        // The code was the last entry: it becomes last again.
        entries[i] = record.code | lastInListBit;
        if (i > 0) entries[i - 1] &= ~lastInListBit;
    } else {
        // The entry that filled the gap goes back to the end, the code to its place.
        int t = i + 1;
        while (entries[t] != emptyCode)
            ++t;
        entries[t - 1] &= ~lastInListBit;
        entries[t] = entries[i] | lastInListBit;
        entries[i] = record.code;
    }
    checkList(list);
}

void removePiece(int piece, PairTable& table) {
    for (int r = 0; r < 4; ++r) {
        const RotationEntry& entry = rotationTable[4 * piece + r];
        pushRemoval(pairUndo, table.data(), entry.pairIndex, entry.code);
    }
}

void removePieceByTop(int piece) {
    for (int r = 0; r < 4; ++r) {
        const PieceCode code = rotationTable[4 * piece + r].code;
        pushRemoval(topUndo, interiorByTop.data(), topOf(code), code);
    }
}

void removePieceByLeft(int piece) {
    for (int r = 0; r < 4; ++r) {
        const PieceCode code = rotationTable[4 * piece + r].code;
        pushRemoval(leftUndo, interiorByLeft.data(), leftOf(code), code);
    }
}

void restorePiece() {
    restoreFour(pairUndo);
}

void restorePieceByTop() {
    restoreFour(topUndo);
}

void restorePieceByLeft() {
    restoreFour(leftUndo);
}

void removePlacedPieces(int n) {
    for (int f = 0; f < n && f < depthCount; ++f) {
        const int slot = fillOrder[f];
        const int piece = pieceNumberOf(board[slot]);
        if (piece < 0) continue;
        switch (squareKind[slot]) {
            case 0:
                removePiece(piece, interiorByLeftTop);
                if (f <= lastColourRemovalPosition) {
                    removePieceByTop(piece);
                    removePieceByLeft(piece);
                }
                break;
            case 1:
                removePiece(piece, edgeByLeftTop);
                break;
            default:
                break;
        }
    }
}

void restoreAll() {
    while (holdsRemovals(pairUndo))
        restorePiece();
    while (holdsRemovals(topUndo))
        restorePieceByTop();
    while (holdsRemovals(leftUndo))
        restorePieceByLeft();
}

void checkList(CandidateList list) {
    if (list == nullptr) return;
    const PieceCode* entries = list + 1;
    if (entries[0] == emptyCode) return;
    int i = 0;
    for (; entries[i + 1] != emptyCode; ++i)
        if (isLastInList(entries[i])) printErr("Element that is not last in list has last bit set");
    if (!isLastInList(entries[i])) printErr("Last in list has not last bit set\n");
}
