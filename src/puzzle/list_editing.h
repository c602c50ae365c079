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

// The most placed pieces whose removals from a [left][top] table can wait at once: one for each
// of the depths that remove their pieces, by the caller's numbering (its frames).
inline constexpr int waitingFrameCount = 40;

// A placed piece whose removals from a [left][top] table wait until a list it is in is read:
// each of its four rotations is made on its own, when its list is read, and undone with the
// piece.
struct WaitingPiece {
    std::array<std::int16_t, 4> slot{};  // the slot of each rotation's list
    std::array<PieceCode, 4> code{};     // each rotation's code, lastInList clear
    // The next older waiting rotation of the same list, as 4 * frame + rotation + 1 (0: none).
    std::array<std::int16_t, 4> older{};
    std::array<UndoRecord, 4> records{};  // of the rotations made
    std::int8_t table = 0;                // 0: interiorByLeftTop, 1: edgeByLeftTop
    std::uint8_t made = 0;                // bit r: rotation r has been removed
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
    // The pieces whose [left][top] removals wait, by frame: the frames in use, those with a
    // rotation still to remove, and for each list of the two tables the newest rotation that
    // waits for it, as in WaitingPiece::older.
    std::array<WaitingPiece, waitingFrameCount> waiting{};
    std::uint64_t framesInUse = 0;
    std::uint64_t framesWaiting = 0;
    std::array<std::array<std::int16_t, pairSlots>, 2> newestWaiting{};
};
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
// The search's way of taking a placed piece out of interiorByLeftTop (table 0) or
// edgeByLeftTop (table 1) at the depths that edit lists: each rotation's removal waits until
// its list is read (makeWaitingRemovals) or every removal is needed (makeAllWaitingRemovals).
// Made in the order the pieces were placed, a list's removals leave it exactly as removing at
// once would; most pieces are taken back before any of their lists is read. `frame` numbers
// the depth, below waitingFrameCount, one piece a frame at a time.
void waitRemovals(int frame, int piece, int table);
// Takes the piece of `frame` back: undoes the removals of it that were made, drops the others.
void undoWaitingRemovals(int frame);
// Whether a removal waits for the list at `slot` of table 0 or 1.
inline bool removalsWaitFor(const ListEdits& edits, int table, int slot) {
    return edits.newestWaiting[table][slot] != 0;
}
// Makes the removals that wait for the list at `slot` of table 0 or 1, oldest first.
void makeWaitingRemovals(int table, int slot);
// Makes every removal that waits.
void makeAllWaitingRemovals();
// Undoes every removal of the three stacks and every waiting one made, leaving them empty,
// and drops every deferral.
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
