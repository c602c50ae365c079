#include "search/shallow_lists.h"

#include "puzzle/puzzle_tables.h"
#include "search/search_state.h"

namespace {

// Whether the first depths may place the piece: it is not in the run's first list (its
// barred pieces are first-list pieces too), the same test as those depths make.
bool placeableEarly(int piece) {
    return !search.groupFlags.inFirstList[piece];
}

}  // namespace

bool buildShallowLists() {
    const std::array<const PairTable*, 3> tables{&puzzle.interiorByLeftTop, &puzzle.edgeByLeftTop,
                                                 &puzzle.cornerByLeftTop};
    std::array<int, 256> placesUsed{};
    for (auto& places : search.shallow.placesOf)
        places.fill(ShallowPlace{shallowSpare, 0});
    search.shallow.free[0] = 0;
    int lists = 1;
    int used = 0;
    for (int kind = 0; kind < 3; ++kind) {
        for (int slot = 0; slot < pairSlots; ++slot) {
            search.shallow.byLeftTop[kind][slot] = 0;
            const CandidateList list = (*tables[kind])[slot];
            if (list == nullptr) continue;
            const int start = used;
            std::uint64_t free = 0;
            // Up to the flagged entry, where the walk of the list itself stops.
            for (const PieceCode* entry = list + 1;; ++entry) {
                const int piece = pieceNumberOf(*entry);
                if (placeableEarly(piece)) {
                    const int bit = used - start;
                    if (bit == shallowListCapacity || placesUsed[piece] == 4) return false;
                    search.shallow.entries[used++] =
                        *entry | (search.groupFlags.inSecondList[piece] ? countedBit : 0);
                    search.shallow.placesOf[piece][placesUsed[piece]++] = ShallowPlace{
                        static_cast<std::uint16_t>(lists), static_cast<std::uint16_t>(bit)};
                    if (search.pieceFree[piece]) free |= std::uint64_t{1} << bit;
                }
                if (isLastInList(*entry)) break;
            }
            if (used == start) continue;
            search.shallow.start[lists] = start;
            search.shallow.free[lists] = free;
            search.shallow.byLeftTop[kind][slot] = static_cast<std::uint16_t>(lists++);
        }
    }
    return true;
}
