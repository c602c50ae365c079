#include "tools/groups/group_derivation.h"

#include <algorithm>
#include <numeric>

#include "run/group_rules.h"
#include "search/board_geometry.h"
#include "search/depth_windows.h"

namespace {

// A derived group's second list: the fewest edges and the most interior pieces a group allows.
constexpr int secondListEdges = countOf(GroupRule::secondListEdges).low;
constexpr int secondListInterior = countOf(GroupRule::secondListInterior).high;
// The depths whose corners may stand on the board while no first-list piece may.
constexpr int firstCornerDepth = 0;
constexpr int secondCornerDepth = 45;
// The depths that take no piece of a first list, whose squares tell boards apart.
constexpr int openDepths = 64;

// The piece the board placed at depth `d`, or -1.
int pieceAt(const DeepBoard& deep, int d) {
    const int piece = pieceNumberOf(deep.board[fillOrder[d]]);
    return piece >= 0 && piece <= 255 ? piece : -1;
}

// The pieces in the order the board placed them, followed by those it never placed, by number.
std::vector<int> placementOrder(const DeepBoard& deep) {
    std::vector<int> order;
    std::array<bool, 256> placed{};
    placed[hintPiece] = true;
    for (int d = 0; d <= deep.depth; ++d) {
        const int piece = pieceAt(deep, d);
        if (piece < 0 || placed[piece]) continue;
        placed[piece] = true;
        order.push_back(piece);
    }
    for (int piece = 0; piece < 256; ++piece)
        if (!placed[piece]) order.push_back(piece);
    return order;
}

// The pieces the group counts (its second list's quotas of each type), in the board's order,
// each placed as late as the minimums of the first depths allow along the board's own path:
// for each minimum in turn, the latest pieces before its depth are counted until the board
// meets it. Counted that late, the minimums hold a run to the board's own pieces all through
// the first depths, not only at their start, and prune its other paths early; counted early,
// they let a run go its own way and lose itself below depth 60 in half the runs.
std::vector<int> latestCountedPieces(const DeepBoard& deep, const std::array<bool, 256>& taken) {
    std::array<bool, 256> counted{};
    std::array<int, 3> quota = secondListQuota;
    int placed = 0;
    for (const MinimumEntry& entry : runMinimumEntries) {
        for (int d = std::min(entry.depth - 1, deep.depth); d >= 0 && placed < entry.minimum; --d) {
            const int piece = pieceAt(deep, d);
            if (piece < 0 || taken[piece] || counted[piece] || quota[pieceType(piece)] == 0)
                continue;
            --quota[pieceType(piece)];
            counted[piece] = true;
            ++placed;
        }
    }
    std::vector<int> inOrder;
    for (int d = 0; d <= deep.depth; ++d) {
        const int piece = pieceAt(deep, d);
        if (piece >= 0 && counted[piece]) inOrder.push_back(piece);
    }
    return inOrder;
}

}  // namespace

void deriveGroup(const DeepBoard& deep, std::vector<std::uint8_t>& first,
                 std::vector<std::uint8_t>& second) {
    first.clear();
    second.clear();
    std::array<bool, 256> taken{};
    taken[hintPiece] = true;
    // The corners the first depths use stay out of both lists.
    int left = 2;
    for (const int d : {firstCornerDepth, secondCornerDepth}) {
        const int piece = d <= deep.depth ? pieceAt(deep, d) : -1;
        if (piece >= 0 && pieceType(piece) == 2 && !taken[piece]) {
            taken[piece] = true;
            --left;
        }
    }
    for (int corner = 0; corner < 4 && left > 0; ++corner)
        if (!taken[corner]) {
            taken[corner] = true;
            --left;
        }
    // The counted pieces first, then the earliest others: the second list's quotas of each
    // type are taken from the front.
    const std::vector<int> counted = latestCountedPieces(deep, taken);
    std::vector<int> order = placementOrder(deep);
    order.insert(order.begin(), counted.begin(), counted.end());
    int edges = 0;
    int interior = 0;
    for (const int piece : order) {
        if (taken[piece]) continue;
        const int type = pieceType(piece);
        if ((type == 1 && edges < secondListEdges) ||
            (type == 0 && interior < secondListInterior)) {
            (type == 1 ? edges : interior) += 1;
            second.push_back(static_cast<std::uint8_t>(piece));
            taken[piece] = true;
        }
    }
    for (int corner = 0; corner < 4; ++corner)
        if (!taken[corner]) {
            first.push_back(static_cast<std::uint8_t>(corner));
            taken[corner] = true;
        }
    for (const int piece : order)
        if (!taken[piece]) first.push_back(static_cast<std::uint8_t>(piece));
}

std::vector<int> chooseBoards(const std::vector<DeepBoard>& boards) {
    std::vector<int> byDepth(boards.size());
    std::iota(byDepth.begin(), byDepth.end(), 0);
    std::stable_sort(byDepth.begin(), byDepth.end(),
                     [&boards](int a, int b) { return boards[a].depth > boards[b].depth; });
    // The codes of the first squares, empty where the board did not reach.
    const auto opening = [&boards](int b) {
        std::array<PieceCode, openDepths> codes;
        for (int d = 0; d < openDepths; ++d)
            codes[d] = d <= boards[b].depth ? boards[b].board[fillOrder[d]] : emptyCode;
        return codes;
    };
    std::vector<int> chosen;
    std::vector<std::array<PieceCode, openDepths>> openings;
    for (const int b : byDepth) {
        if (boards[b].depth < 0 || chosen.size() == static_cast<std::size_t>(groupCount)) break;
        const auto codes = opening(b);
        if (std::find(openings.begin(), openings.end(), codes) != openings.end()) continue;
        openings.push_back(codes);
        chosen.push_back(b);
    }
    return chosen;
}

RunGroups deriveGroups(const std::vector<DeepBoard>& boards, std::vector<int>& groupBoards) {
    const std::vector<int> chosen = chooseBoards(boards);
    RunGroups groups;
    groupBoards.clear();
    if (chosen.empty()) return groups;
    std::vector<std::uint8_t> first, second;
    for (int g = 0; g < groupCount; ++g) {
        const int b = chosen[g % chosen.size()];
        groupBoards.push_back(b);
        deriveGroup(boards[b], first, second);
        putGroup(groups, g, first, second);
    }
    groups.rules = StepRules::groups;
    return groups;
}
