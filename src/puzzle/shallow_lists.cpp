#include "puzzle/shallow_lists.h"

#include "run/run_setup.h"
#include "search/search_state.h"

std::array<std::array<std::uint16_t, pairSlots>, 3> shallowByLeftTop{};
std::array<std::uint64_t, shallowListLimit> shallowFree{};
std::array<std::int32_t, shallowListLimit> shallowStart{};
std::array<PieceCode, 4 * 256> shallowEntries{};
std::array<std::array<ShallowPlace, 4>, 256> shallowPlacesOf{};

namespace {

// Whether the first depths may place the piece: it is not in the run's first list (its
// barred pieces are first-list pieces too), the same test as those depths make.
bool placeableEarly(int piece) {
    return !inFirstList[piece];
}

}  // namespace

bool buildShallowLists() {
    const std::array<const PairTable*, 3> tables{&interiorByLeftTop, &edgeByLeftTop,
                                                 &cornerByLeftTop};
    std::array<int, 256> placesUsed{};
    for (auto& places : shallowPlacesOf)
        places.fill(ShallowPlace{shallowSpare, 0});
    shallowFree[0] = 0;
    int lists = 1;
    int used = 0;
    for (int kind = 0; kind < 3; ++kind) {
        for (int slot = 0; slot < pairSlots; ++slot) {
            shallowByLeftTop[kind][slot] = 0;
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
                    shallowEntries[used++] = *entry | (inSecondList[piece] ? countedBit : 0);
                    shallowPlacesOf[piece][placesUsed[piece]++] = ShallowPlace{
                        static_cast<std::uint16_t>(lists), static_cast<std::uint16_t>(bit)};
                    if (pieceFree[piece]) free |= std::uint64_t{1} << bit;
                }
                if (isLastInList(*entry)) break;
            }
            if (used == start) continue;
            shallowStart[lists] = start;
            shallowFree[lists] = free;
            shallowByLeftTop[kind][slot] = static_cast<std::uint16_t>(lists++);
        }
    }
    return true;
}
