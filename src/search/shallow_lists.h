// The candidate lists of the first depths for the current run: the first 64 squares never
// take a piece of the run's first list, so their lists are copied once per run without those
// pieces, in the order the run's lists hold them, and the search walks the copies. Each copy
// keeps a mask of its free entries, which the search updates as it places and takes back
// pieces, so that a walk visits exactly the free entries without testing each one.
#pragma once

#include <array>
#include <cstdint>

#include "puzzle/candidate_tables.h"

// Depths 0 to shallowDepthEnd - 1 may walk the copies.
inline constexpr int shallowDepthEnd = 64;
// Most entries a copy may hold: one bit each in its free mask.
inline constexpr int shallowListCapacity = 64;
// Copies of every slot of the three tables, list 0, which is always empty, and the spare list
// shallowSpare.
inline constexpr int shallowListLimit = 3 * pairSlots + 2;
// Where the unused places of a piece point: taking and giving back a piece sets and clears its
// bit 0 with no test, and list 0 must stay empty, since a square without a copy reads it.
inline constexpr int shallowSpare = shallowListLimit - 1;

// Bit 31, never set in a real piece's code.
inline constexpr PieceCode countedBit = static_cast<PieceCode>(0x80000000u);

// Where a piece's entries are: the copy's number and the bit of the entry. Unused places
// point at bit 0 of shallowSpare, which no square reads.
struct ShallowPlace {
    std::uint16_t list = 0;
    std::uint16_t bit = 0;
};

// The copies of the current run.
struct ShallowLists {
    // The copies of interiorByLeftTop, edgeByLeftTop and cornerByLeftTop by square kind (0
    // interior, 1 edge, 2 corner), slot for slot: the number of the copy, 0 where the list
    // keeps no entry. An entry is the word the run's list holds (flag included, so that a
    // placed code is the same word), with countedBit added for a piece of the run's counted
    // second list.
    std::array<std::array<std::uint16_t, pairSlots>, 3> byLeftTop{};
    // Bit i is set while entry i of the copy is of a free piece.
    std::array<std::uint64_t, shallowListLimit> free{};
    // Where the entries of each copy begin in `entries`.
    std::array<std::int32_t, shallowListLimit> start{};
    std::array<PieceCode, 4 * 256> entries{};
    // Where each piece's entries are.
    std::array<std::array<ShallowPlace, 4>, 256> placesOf{};

    // Marks the piece's entries taken (the piece has just been placed) or free again.
    void takePiece(int piece) {
        for (const ShallowPlace place : placesOf[piece])
            free[place.list] &= ~(std::uint64_t{1} << place.bit);
    }
    void returnPiece(int piece) {
        for (const ShallowPlace place : placesOf[piece])
            free[place.list] |= std::uint64_t{1} << place.bit;
    }
};

// Builds the copies and their masks from the lists, the run's group flags and pieceFree as
// they stand now. Returns false, and the search must walk the lists themselves, when a copy
// would hold more than shallowListCapacity entries.
bool buildShallowLists();
