#include "puzzle/shallow_lists.h"

#include "run/run_setup.h"

std::array<PairTable, 3> shallowByLeftTop{};

namespace {

// Room for every entry of the three tables, each list with its own count and terminator:
// every piece in every rotation is in one table at most.
std::array<PieceCode, 3 * 4 * 256> shallowPool{};

// Whether the first depths may place the piece: it is not in the run's first list (its
// barred pieces are first-list pieces too), the same test as those depths make.
bool placeableEarly(int piece) {
    return !inFirstList[piece];
}

}  // namespace

void buildShallowLists() {
    const std::array<const PairTable*, 3> tables{&interiorByLeftTop, &edgeByLeftTop,
                                                 &cornerByLeftTop};
    int used = 0;
    for (int kind = 0; kind < 3; ++kind) {
        for (int slot = 0; slot < pairSlots; ++slot) {
            const CandidateList list = (*tables[kind])[slot];
            const int head = used++;
            const int start = used;
            if (list != nullptr) {
                // Up to the flagged entry, where the walk of the list itself stops.
                for (const PieceCode* entry = list + 1;; ++entry) {
                    const int piece = pieceNumberOf(*entry);
                    if (placeableEarly(piece))
                        shallowPool[used++] = *entry | (inSecondList[piece] ? countedBit : 0);
                    if (isLastInList(*entry)) break;
                }
            }
            if (used == start) {
                used = head;
                shallowByLeftTop[kind][slot] = nullptr;
                continue;
            }
            shallowPool[head] = used - start;
            shallowPool[used++] = emptyCode;
            shallowByLeftTop[kind][slot] = &shallowPool[head];
        }
    }
}
