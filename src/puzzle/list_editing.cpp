#include "puzzle/list_editing.h"

#include <bit>
#include <functional>

#include "base/console.h"
#include "puzzle/puzzle_run.h"
#include "puzzle/puzzle_tables.h"

namespace {

constexpr PieceCode withoutFlag(PieceCode c) {
    return c & ~lastInListBit;
}

// The four tables that the search edits, and for each the position of every code in its
// list and the length of every list, so that a removal or restore finds its place without
// walking the list. The index is kept by every edit and rebuilt after the tables are built
// or re-ordered; should it ever disagree with a list, the list is walked as before and the
// index of that list rebuilt.
struct EditedTable {
    CandidateList* lists;
    int slots;
};
constexpr int editedTableCount = 4;
// Positions of the one-colour tables in editedTables.
enum { byTop = 2, byLeft = 3 };
constexpr std::array<EditedTable, editedTableCount> editedTables{{
    {puzzle.interiorByLeftTop.data(), pairSlots},
    {puzzle.edgeByLeftTop.data(), pairSlots},
    {puzzle.interiorByTop.data(), colourCount},
    {puzzle.interiorByLeft.data(), colourCount},
}};

struct ListIndex {
    std::array<std::int16_t, 4 * 256> position;  // by codeKey, while the code is listed
    std::array<std::int16_t, pairSlots> length;  // entries, by slot
};
// State of the candidate tables, like the lists it indexes: built with them, kept by every
// edit, and rebuilt from them by resetProgram.
std::array<ListIndex, editedTableCount> listIndex{};

// Piece number and rotation of a real piece's code: 4 * piece + rotation.
constexpr int codeKey(PieceCode c) {
    return (pieceNumberOf(c) << 2) | rotationOf(c);
}

// The place of `table` among the edited tables, or -1.
int editedTableOf(const CandidateList* table) {
    for (int t = 0; t < editedTableCount; ++t)
        if (editedTables[t].lists == table) return t;
    return -1;
}

ListIndex* indexOfTable(const CandidateList* table) {
    const int t = editedTableOf(table);
    return t >= 0 ? &listIndex[t] : nullptr;
}

// The index of the table a record's removal was made from, or null.
ListIndex* indexOfRecord(const UndoRecord& record) {
    return record.editedTable >= 0 ? &listIndex[record.editedTable] : nullptr;
}

void indexList(ListIndex& index, int slot, const PieceCode* list) {
    int n = 0;
    if (list != nullptr)
        for (const PieceCode* e = list + 1; *e != emptyCode; ++e, ++n)
            index.position[codeKey(*e)] = static_cast<std::int16_t>(n);
    index.length[slot] = static_cast<std::int16_t>(n);
}

// Whether `n` is the number of entries of the list: its word n is the terminator, the first
// empty word after the entries. The bound is checked on the distance to the pool's end before
// entries + n is formed, since a stale length could point it past the pool, which is undefined
// even without reading there.
bool isLength(const PieceCode* entries, int n) {
    const std::ptrdiff_t room = puzzle.candidatePool.data() + puzzle.poolUsed - entries;
    return n >= 0 && n < room && entries[n] == emptyCode && (n == 0 || entries[n - 1] != emptyCode);
}

// Whether the index's lengths are checked against the lists before they are used. Every edit
// keeps the index and every re-ordering rebuilds it, so an optimised build trusts them (the
// check reads two more words of every edited list); debug and test builds check them.
#ifndef NDEBUG
constexpr bool lengthsChecked = true;
#else
constexpr bool lengthsChecked = false;
#endif

// Finds `wanted` (flag clear) in the list: its position i and the list's length n. Uses the
// index where it agrees with the list, else walks the list from its first entry.
bool locate(ListIndex* index, int slot, const PieceCode* entries, PieceCode wanted, int& i,
            int& n) {
    if (index != nullptr) {
        n = index->length[slot];
        i = index->position[codeKey(wanted)];
        if (i < n && (!lengthsChecked || isLength(entries, n)) && withoutFlag(entries[i]) == wanted)
            return true;
    }
    i = 0;
    while (entries[i] != emptyCode && withoutFlag(entries[i]) != wanted)
        ++i;
    if (entries[i] == emptyCode) return false;
    n = i + 1;
    while (entries[n] != emptyCode)
        ++n;
    if (index != nullptr) indexList(*index, slot, entries - 1);
    return true;
}

// The terminator's position in a list, at or after position `from`.
int listEnd(ListIndex* index, int slot, const PieceCode* entries, int from) {
    if (index != nullptr) {
        const int n = index->length[slot];
        if (n >= from && (!lengthsChecked || isLength(entries, n))) return n;
    }
    int t = from;
    while (entries[t] != emptyCode)
        ++t;
    return t;
}

// The end flags of an edited list are checked after every edit in debug and test builds; an
// optimised build leaves the walk out, since the search edits lists millions of times a
// second and the edits keep the flags right by construction.
void checkEditedList(CandidateList list) {
#ifndef NDEBUG
    checkList(list);
#else
    (void)list;
#endif
}

// Removes `code` from the list at `slot` of `table`, whose index is `index` (null for a
// table the search does not edit), and fills `record` so that the removal can be undone.
inline void removeIndexed(CandidateList* table, ListIndex* index, int slot, PieceCode code,
                          UndoRecord& record) {
    const CandidateList list = table[slot];
    if (list == nullptr) {
        printErr("removeFromList: Piece not found %d\n", code);
        record.position = -1;
        return;
    }
    PieceCode* entries = list + 1;
    const PieceCode wanted = withoutFlag(code);
    int i = 0;
    int n = 0;
    if (!locate(index, slot, entries, wanted, i, n)) {
        printErr("removeFromList: Piece not found %d\n", code);
        record.position = -1;
        checkEditedList(list);
        return;
    }

    record.position = i;
    record.table = table;
    record.slot = slot;
    record.code = wanted;
    record.editedTable = static_cast<std::int8_t>(index != nullptr ? index - listIndex.data() : -1);
    const int j = n - 1;  // the last entry
    if (i == j) {
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
        const PieceCode moved = withoutFlag(entries[j]);
        entries[i] = moved;
        entries[j - 1] |= lastInListBit;
        entries[j] = emptyCode;
        if (index != nullptr) index->position[codeKey(moved)] = static_cast<std::int16_t>(i);
    }
    if (index != nullptr) index->length[slot] = static_cast<std::int16_t>(j);
    checkEditedList(list);
}

// Undoes the removal of `record`, made from a table whose index is `index`.
inline void restoreIndexed(const UndoRecord& record, ListIndex* index) {
    if (record.position < 0) return;
    CandidateList* table = record.table;
    if (table[record.slot] == nullptr) table[record.slot] = record.savedList;
    const CandidateList list = table[record.slot];
    PieceCode* entries = list + 1;
    const int i = record.position;
    // t: the terminator, one past the last entry; the code was the last entry when it is i.
    const int t = listEnd(index, record.slot, entries, i);
    if (t == i) {
        // The code was the last entry: it becomes last again.
        entries[i] = record.code | lastInListBit;
        if (i > 0) entries[i - 1] &= ~lastInListBit;
    } else {
        // The entry that filled the gap goes back to the end, the code to its place.
        const PieceCode moved = entries[i];
        entries[t - 1] &= ~lastInListBit;
        entries[t] = moved | lastInListBit;
        entries[i] = record.code;
        if (index != nullptr) index->position[codeKey(moved)] = static_cast<std::int16_t>(t);
    }
    if (index != nullptr) {
        index->position[codeKey(record.code)] = static_cast<std::int16_t>(i);
        index->length[record.slot] = static_cast<std::int16_t>(t + 1);
    }
    checkEditedList(list);
}

// Removes `code` from the list at `slot` of `table` using the next record of `stack`, or
// refuses with a message when the stack has no room left.
inline void pushRemoval(UndoStack& stack, CandidateList* table, ListIndex* index, int slot,
                        PieceCode code) {
    if (stack.count >= undoStackSize) {
        printErr("removeFromList: undo stack full, piece %d rotation %d not removed\n",
                 pieceNumberOf(code), rotationOf(code));
        ++stack.refused;
        return;
    }
    removeIndexed(table, index, slot, code, stack.records[stack.count]);
    ++stack.count;
}

// Undoes the most recent removal of `stack`: a refused one first, then a recorded one. The
// index is that of the stack's table, or null to look it up from the record.
inline void popRestore(UndoStack& stack, ListIndex* index) {
    if (stack.refused > 0) {
        --stack.refused;
        return;
    }
    if (stack.count <= 0) return;
    --stack.count;
    const UndoRecord& record = stack.records[stack.count];
    restoreIndexed(record, index != nullptr ? index : indexOfRecord(record));
}

inline void restoreFour(UndoStack& stack, ListIndex* index) {
    for (int r = 0; r < 4; ++r)
        popRestore(stack, index);
}

bool holdsRemovals(const UndoStack& stack) {
    return stack.count > 0 || stack.refused > 0;
}

}  // namespace

void removeFromList(CandidateList* table, int slot, PieceCode code, UndoRecord& record) {
    removeIndexed(table, indexOfTable(table), slot, code, record);
}

void restoreFromList(const UndoRecord& record) {
    restoreIndexed(record, indexOfRecord(record));
}

void indexEditedLists() {
    for (int t = 0; t < editedTableCount; ++t) {
        const EditedTable& table = editedTables[t];
        for (int slot = 0; slot < table.slots; ++slot)
            indexList(listIndex[t], slot, table.lists[slot]);
    }
}

void removePiece(int piece, PairTable& table) {
    ListIndex* index = indexOfTable(table.data());
    for (int r = 0; r < 4; ++r) {
        const RotationEntry& entry = puzzle.rotationTable[4 * piece + r];
        pushRemoval(puzzleRun.edits.pairUndo, table.data(), index, entry.pairIndex, entry.code);
    }
}

void removePieceByTop(int piece) {
    for (int r = 0; r < 4; ++r) {
        const PieceCode code = puzzle.rotationTable[4 * piece + r].code;
        pushRemoval(puzzleRun.edits.topUndo, puzzle.interiorByTop.data(), &listIndex[byTop],
                    topOf(code), code);
    }
}

void removePieceByLeft(int piece) {
    for (int r = 0; r < 4; ++r) {
        const PieceCode code = puzzle.rotationTable[4 * piece + r].code;
        pushRemoval(puzzleRun.edits.leftUndo, puzzle.interiorByLeft.data(), &listIndex[byLeft],
                    leftOf(code), code);
    }
}

void restorePiece() {
    restoreFour(puzzleRun.edits.pairUndo, nullptr);
}

void restorePieceByTop() {
    restoreFour(puzzleRun.edits.topUndo, &listIndex[byTop]);
}

void restorePieceByLeft() {
    restoreFour(puzzleRun.edits.leftUndo, &listIndex[byLeft]);
}

void removePieceOfKind(int piece, int kind, bool fromOneColourTables) {
    if (kind == 0) {
        removePiece(piece, puzzle.interiorByLeftTop);
        if (fromOneColourTables) {
            removePieceByTop(piece);
            removePieceByLeft(piece);
        }
    } else if (kind == 1) {
        removePiece(piece, puzzle.edgeByLeftTop);
    }
}

void deferRemovalsByTopAndLeft(int piece) {
    puzzleRun.edits.deferredPieces[puzzleRun.edits.deferredCount++] =
        static_cast<std::int16_t>(piece);
    const int pending = 4 * (puzzleRun.edits.deferredCount - puzzleRun.edits.deferredMade);
    if (puzzleRun.edits.topUndo.count + pending > undoStackSize ||
        puzzleRun.edits.leftUndo.count + pending > undoStackSize)
        applyDeferredRemovals();  // so that a full stack refuses just as it would at once
}

void restoreDeferredRemovals() {
    if (puzzleRun.edits.deferredCount <= 0) return;
    --puzzleRun.edits.deferredCount;
    if (puzzleRun.edits.deferredMade > puzzleRun.edits.deferredCount) {
        puzzleRun.edits.deferredMade = puzzleRun.edits.deferredCount;
        restorePieceByTop();
        restorePieceByLeft();
    }
}

void applyDeferredRemovals() {
    for (; puzzleRun.edits.deferredMade < puzzleRun.edits.deferredCount;
         ++puzzleRun.edits.deferredMade) {
        removePieceByTop(puzzleRun.edits.deferredPieces[puzzleRun.edits.deferredMade]);
        removePieceByLeft(puzzleRun.edits.deferredPieces[puzzleRun.edits.deferredMade]);
    }
}

bool removalsDeferred() {
    return puzzleRun.edits.deferredMade < puzzleRun.edits.deferredCount;
}

bool anyRemovalsRecorded() {
    return holdsRemovals(puzzleRun.edits.pairUndo) || holdsRemovals(puzzleRun.edits.topUndo) ||
           holdsRemovals(puzzleRun.edits.leftUndo) || puzzleRun.edits.deferredCount > 0 ||
           puzzleRun.edits.framesInUse != 0;
}

namespace {

// A waiting rotation as WaitingPiece::older and ListEdits::newestWaiting name it.
constexpr std::int16_t waitingName(int frame, int rotation) {
    return static_cast<std::int16_t>(4 * frame + rotation + 1);
}

// Removes rotation `rotation` of the piece of `frame` from its list, recording it with the
// piece.
void makeWaitingRemoval(int frame, int rotation) {
    WaitingPiece& w = puzzleRun.edits.waiting[frame];
    const EditedTable& table = editedTables[w.table];
    removeIndexed(table.lists, &listIndex[w.table], w.slot[rotation], w.code[rotation],
                  w.records[rotation]);
    w.made = static_cast<std::uint8_t>(w.made | 1u << rotation);
    if (w.made == 0xF) puzzleRun.edits.framesWaiting &= ~(std::uint64_t{1} << frame);
}

}  // namespace

void waitRemovals(int frame, int piece, int table) {
    WaitingPiece& w = puzzleRun.edits.waiting[frame];
    w.table = static_cast<std::int8_t>(table);
    w.made = 0;
    for (int r = 0; r < 4; ++r) {
        const RotationEntry& entry = puzzle.rotationTable[4 * piece + r];
        w.slot[r] = static_cast<std::int16_t>(entry.pairIndex);
        w.code[r] = withoutFlag(entry.code);
        std::int16_t& newest = puzzleRun.edits.newestWaiting[table][entry.pairIndex];
        w.older[r] = newest;
        newest = waitingName(frame, r);
    }
    puzzleRun.edits.framesInUse |= std::uint64_t{1} << frame;
    puzzleRun.edits.framesWaiting |= std::uint64_t{1} << frame;
}

void undoWaitingRemovals(int frame) {
    WaitingPiece& w = puzzleRun.edits.waiting[frame];
    // The rotations made are the newest removals of their lists (deeper pieces were taken back
    // first), those of one list made in rotation order; the others are the newest waiting ones
    // of their lists.
    for (int r = 3; r >= 0; --r) {
        if (w.made >> r & 1)
            restoreIndexed(w.records[r], &listIndex[w.table]);
        else
            puzzleRun.edits.newestWaiting[w.table][w.slot[r]] = w.older[r];
    }
    w.made = 0;
    puzzleRun.edits.framesInUse &= ~(std::uint64_t{1} << frame);
    puzzleRun.edits.framesWaiting &= ~(std::uint64_t{1} << frame);
}

void makeWaitingRemovals(int table, int slot) {
    // Newest first along the chain, then made oldest first: a list's removals in the order its
    // pieces were placed. A list waits for few rotations at once.
    std::array<std::int16_t, 4 * waitingFrameCount> chain;
    int count = 0;
    for (std::int16_t name = puzzleRun.edits.newestWaiting[table][slot]; name != 0;) {
        chain[count++] = name;
        const int frame = (name - 1) / 4;
        name = puzzleRun.edits.waiting[frame].older[(name - 1) % 4];
    }
    puzzleRun.edits.newestWaiting[table][slot] = 0;
    while (count > 0) {
        const int name = chain[--count] - 1;
        makeWaitingRemoval(name / 4, name % 4);
    }
}

void makeAllWaitingRemovals() {
    for (std::uint64_t frames = puzzleRun.edits.framesWaiting; frames != 0; frames &= frames - 1) {
        const int frame = std::countr_zero(frames);
        const WaitingPiece& w = puzzleRun.edits.waiting[frame];
        for (int r = 0; r < 4; ++r)
            if (!(w.made >> r & 1)) makeWaitingRemovals(w.table, w.slot[r]);
    }
}

void restoreAll() {
    // The deepest piece first, as the search takes them back.
    while (puzzleRun.edits.framesInUse != 0)
        undoWaitingRemovals(63 - std::countl_zero(puzzleRun.edits.framesInUse));
    puzzleRun.edits.deferredCount = 0;
    puzzleRun.edits.deferredMade = 0;
    while (holdsRemovals(puzzleRun.edits.pairUndo))
        restorePiece();
    while (holdsRemovals(puzzleRun.edits.topUndo))
        restorePieceByTop();
    while (holdsRemovals(puzzleRun.edits.leftUndo))
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
