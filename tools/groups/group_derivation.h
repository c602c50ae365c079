// Piece groups derived from the deepest boards of runs without group rules: each group lets
// the first depths place what one deep board placed there, and bars what it placed last.
#pragma once

#include <array>
#include <vector>

#include "puzzle/piece_code.h"
#include "run/run_setup.h"

// The deepest board of one run: its slots of depths 0 to `depth` hold the run's deepest path.
struct DeepBoard {
    std::array<PieceCode, 256> board;
    int depth;  // the deepest depth at which the run placed a piece, -1 for none
};

// The two lists of a group fitted to `deep`, by the board's own order of placement:
// - the corners of depths 0 and 45 go in neither list (the lowest-numbered other corners stand
//   in for one the board did not reach);
// - the second list is 33 edge and 70 interior pieces: first the 8 edge and 12 interior pieces
//   that the group counts, each placed as late as the minimums of the first depths allow along
//   the board's own path, then the others placed earliest, in depth order;
// - the first list is the other 2 corners, then the remaining edge and interior pieces in
//   depth order, the pieces never placed last (by number): the barred pieces, taken from its
//   end, are the ones the board placed latest or never.
void deriveGroup(const DeepBoard& deep, std::vector<std::uint8_t>& first,
                 std::vector<std::uint8_t>& second);

// The boards the groups are made from: the deepest boards whose first 64 squares differ,
// deepest first (the earlier of equal depths first), at most one per group.
std::vector<int> chooseBoards(const std::vector<DeepBoard>& boards);

// The 60 groups made from the chosen boards, taken in turn, again from the first when there
// are fewer than 60; `groupBoards` receives the board of each group.
RunGroups deriveGroups(const std::vector<DeepBoard>& boards, std::vector<int>& groupBoards);
