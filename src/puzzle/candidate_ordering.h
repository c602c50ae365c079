// Candidate ordering: at the start of every run the [left][top] lists are re-ordered in
// place by a built-in piece ordering, the run's favoured and shunned colours and chance.
#pragma once

#include <array>
#include <cstdint>

#include "puzzle/candidate_tables.h"

// Built-in orderings of piece numbers counted from 1: corners, edges, interior pieces.
inline constexpr std::array<int, 4> cornerOrder{4, 3, 1, 2};
inline constexpr std::array<int, 56> edgeOrder{
    53, 10, 8,  46, 49, 55, 58, 5,  14, 28, 29, 13, 27, 16, 19, 32, 20, 11, 54,
    56, 9,  12, 6,  17, 30, 57, 23, 48, 51, 59, 47, 7,  21, 18, 38, 60, 39, 37,
    41, 26, 52, 44, 50, 42, 25, 33, 40, 43, 24, 35, 15, 34, 22, 45, 31, 36};
inline constexpr std::array<int, 196> interiorOrder{
    139, 181, 255, 167, 148, 66,  191, 189, 85,  214, 138, 70,  75,  146, 165, 227, 72,  185,
    152, 194, 140, 188, 210, 169, 176, 61,  203, 145, 150, 200, 149, 219, 187, 71,  62,  183,
    142, 153, 193, 116, 82,  96,  132, 186, 118, 212, 144, 114, 224, 147, 77,  95,  182, 172,
    91,  137, 64,  205, 209, 67,  86,  73,  141, 115, 155, 83,  76,  204, 177, 110, 168, 228,
    218, 156, 94,  207, 213, 88,  232, 226, 79,  184, 92,  175, 173, 84,  252, 199, 127, 65,
    190, 63,  166, 206, 233, 235, 208, 216, 249, 87,  217, 237, 242, 93,  123, 160, 109, 221,
    107, 195, 201, 135, 78,  223, 159, 99,  234, 241, 238, 89,  243, 129, 131, 69,  248, 68,
    197, 104, 106, 111, 211, 80,  225, 196, 128, 134, 102, 81,  162, 143, 163, 178, 171, 97,
    202, 215, 198, 161, 119, 229, 179, 74,  170, 103, 180, 101, 157, 192, 236, 222, 158, 90,
    239, 230, 100, 154, 220, 246, 105, 231, 240, 254, 164, 133, 151, 136, 256, 244, 121, 250,
    247, 120, 108, 112, 124, 117, 130, 253, 251, 122, 174, 245, 98,  126, 113, 125};

// What the ordering of one run reads besides the built-in orderings: the colours the run's
// set-up drew. resetRun restores it.
struct OrderingState {
    // The run's shunned colour (one of 0..16), by program colour.
    std::array<std::int32_t, 24> shunnedColour{};
    // The run's two favoured colours (one of 0..16, one of 17..21), by program colour.
    std::array<std::int32_t, 24> favouredColour{};
};

// Ordering value of a real piece's code, lower first: its place in its built-in ordering
// (0..999), plus 200 for every edge in the shunned colour and minus 200 for every edge in a
// favoured colour (not for corners), plus its term of the ordering by colour counts (0 unless
// that option is on). Prints "%d not found" and gives -1 for a piece in no
// ordering.
std::int32_t piecePriority(PieceCode code);
// Re-orders the entries of `list` (null allowed): one draw of mainRandom per pair.
void reorderCandidateList(CandidateList list);
// Re-orders the lists of interiorByLeftTop, edgeByLeftTop and cornerByLeftTop, and from the
// second call of the process on also those of interiorByLeft and edgeByLeft.
void reorderCandidateTables();
