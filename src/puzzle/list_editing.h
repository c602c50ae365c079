// Candidate list editing: takes placed pieces out of the candidate lists during the search
// and puts them back exactly where they were, recording every removal on an undo stack.
#pragma once

#include <array>
#include <cstdint>

#include "puzzle/candidate_tables.h"
#include "puzzle/piece_code.h"

// Room of each undo stack: every piece removed once in all four rotations.
inline constexpr int undoStackSize = 1024;

// One removal. A position of -1 marks a record whose removal found nothing, so its restore
// leaves every list and slot alone.
struct UndoRecord {
    std::int32_t position;    // position of the removed code in its list, from the first entry
    CandidateList* table;     // first slot of the table the code was removed from
    std::int32_t slot;        // slot of that table holding the list
    CandidateList savedList;  // the slot's pointer, kept only when the removal emptied the list
    PieceCode code;           // the removed code, lastInList clear
    std::int8_t editedTable;  // which of the tables the search edits it is, or -1 for another
};

// Records of one stack; `refused` counts removals turned away while the stack was full,
// which the next restores consume first so that groups of four stay balanced.
struct UndoStack {
    std::array<UndoRecord, undoStackSize> records{};
    std::int32_t count = 0;
    std::int32_t refused = 0;
};

// The edits of the current run: what the undo operations put back, and the deferred
// removals. Empty at the start of every run.
struct ListEdits {
    // Removals from interiorByLeftTop or edgeByLeftTop.
    UndoStack pairUndo;
    // Removals from interiorByTop.
    UndoStack topUndo;
    // Removals from interiorByLeft.
    UndoStack leftUndo;
    // Pieces whose removals from interiorByTop and interiorByLeft were deferred, oldest
    // first; the removals of the first `deferredMade` of them have been made. Each is on the
    // board, so there are never more than 256.
    std::array<std::int16_t, 256> deferredPieces{};
    int deferredCount = 0;
    int deferredMade = 0;
};
extern ListEdits listEdits;
// Removes the entry equal to `code` (lastInList ignored) from the list at `slot` of `table`,
// moving the last entry into the gap, and fills `record` so the removal can be undone.
void removeFromList(CandidateList* table, int slot, PieceCode code, UndoRecord& record);
// Undoes one removal; must be applied in reverse order of the removals.
void restoreFromList(const UndoRecord& record);
// Removes the four rotations of `piece` from a [left][top] table, recording on pairUndo.
void removePiece(int piece, PairTable& table);
// Removes the four rotations of `piece` from interiorByTop, recording on topUndo.
void removePieceByTop(int piece);
// Removes the four rotations of `piece` from interiorByLeft, recording on leftUndo.
void removePieceByLeft(int piece);
// Undoes the four most recent removals of pairUndo, most recent first.
void restorePiece();
// Undoes the four most recent removals of topUndo, most recent first.
void restorePieceByTop();
// Undoes the four most recent removals of leftUndo, most recent first.
void restorePieceByLeft();
// The search's way of taking a piece out of interiorByTop and interiorByLeft: only the
// mismatch phases of the last squares read those lists, so the removals are recorded and
// made when the lists are next needed (applyDeferredRemovals), in the order they were asked
// for, which leaves the lists exactly as removing at once would. Most are undone before then
// and never made. A deferral whose removals could fill an undo stack is made at once.
void deferRemovalsByTopAndLeft(int piece);
// Undoes the most recent deferral: restores its removals if they were made, else drops it.
void restoreDeferredRemovals();
// Makes every deferred removal not made yet, so interiorByTop and interiorByLeft are current.
void applyDeferredRemovals();
// Whether a deferred removal waits to be made.
bool removalsDeferred();
// Takes a piece placed on a square of `kind` (0 interior, 1 edge, 2 corner) out of the lists
// the search reads for such squares: an interior piece out of interiorByLeftTop (and, when
// `fromOneColourTables`, out of interiorByTop and interiorByLeft), an edge piece out of
// edgeByLeftTop; a corner piece stays listed.
void removePieceOfKind(int piece, int kind, bool fromOneColourTables);
// Undoes every removal of the three stacks, leaving them empty, and drops every deferral.
void restoreAll();
// Whether any of the three stacks holds a removal (or a refused one) to undo, or a removal is
// deferred.
bool anyRemovalsRecorded();
// Rebuilds the index that lets removals and restores find their places without walking the
// lists; needed whenever the lists are built or re-ordered.
void indexEditedLists();
// Prints a message for every faulty end flag of `list`; changes nothing. Every edit checks
// the list it edited this way in debug and test builds.
void checkList(CandidateList list);
