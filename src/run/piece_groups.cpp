// The built-in piece groups. Group 0 and the beginnings and ends of group 1's lists are given;
// every other piece of groups 1 to 59 is drawn at compile time from a fixed seed with a
// generator of our own, so that every compiler makes the same tables.
#include "run/piece_groups.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <span>

#include "puzzle/piece_file.h"
#include "run/group_rules.h"

namespace {

// Groups whose first list holds 149 pieces; all others hold 150.
constexpr std::array shortGroups = {3, 5, 6, 7, 11, 12, 14, 16, 19, 25, 26, 31, 50, 54, 55};

// The length of group g's first list.
constexpr std::int32_t firstCountOf(int g) {
    return std::ranges::find(shortGroups, g) != shortGroups.end() ? 149 : 150;
}

// The group records: each group's two lists one after the other from groupSize * g.
constexpr std::array<PieceGroup, groupCount> makeGroupTable() {
    std::array<PieceGroup, groupCount> table{};
    for (int g = 0; g < groupCount; ++g) {
        const std::int32_t firstCount = firstCountOf(g);
        const auto firstStart = static_cast<std::uint32_t>(groupSize * g);
        table[g] = {firstStart, firstCount, firstStart + static_cast<std::uint32_t>(firstCount),
                    groupSize - firstCount};
    }
    return table;
}

// Group 0, given in full.
constexpr std::uint8_t group0First[] = {
    2,   0,   99,  85,  79,  91,  176, 76,  73,  86,  192, 206, 247, 181, 235, 62,  214, 244, 241,
    75,  171, 178, 251, 233, 185, 134, 223, 209, 217, 175, 170, 177, 183, 213, 107, 188, 168, 105,
    199, 221, 207, 228, 240, 133, 128, 179, 237, 220, 255, 180, 106, 167, 190, 182, 113, 222, 248,
    219, 120, 208, 236, 173, 197, 243, 215, 229, 230, 226, 211, 232, 231, 186, 196, 187, 130, 201,
    245, 203, 225, 210, 198, 189, 254, 204, 126, 200, 216, 205, 172, 184, 108, 111, 103, 193, 252,
    114, 194, 121, 224, 117, 115, 202, 124, 195, 242, 238, 119, 112, 129, 253, 239, 116, 118, 246,
    125, 122, 135, 132, 127, 249, 191, 123, 131, 102, 110, 109, 101, 100, 8,   59,  34,  42,  12,
    56,  49,  57,  30,  23,  24,  21,  18,  14,  58,  17,  22,  16,  19,  10,  50,  5};
constexpr std::uint8_t group0Second[] = {
    15,  28, 36,  145, 146, 81,  64,  60,  63,  83, 136, 67,  68,  137, 154, 46,  66,  141,
    71,  80, 65,  144, 155, 47,  45,  150, 139, 82, 156, 158, 87,  61,  151, 143, 163, 149,
    147, 26, 140, 159, 162, 152, 92,  148, 93,  69, 160, 142, 96,  104, 74,  157, 98,  88,
    250, 72, 70,  153, 78,  40,  164, 89,  212, 43, 169, 166, 161, 95,  77,  234, 90,  174,
    84,  33, 97,  165, 94,  44,  218, 4,   227, 35, 48,  25,  31,  53,  41,  27,  52,  20,
    37,  11, 51,  38,  9,   55,  6,   54,  29,  13, 7,   39,  32};

// The given beginning and end of one list, which the drawing keeps in place.
struct ListEnds {
    std::span<const std::uint8_t> head;
    std::span<const std::uint8_t> tail;
};

// The given beginnings and ends of group 1's lists.
constexpr std::uint8_t group1FirstHead[] = {0, 1, 177, 132, 174, 131};
constexpr std::uint8_t group1FirstTail[] = {13, 11, 45, 46};
constexpr std::uint8_t group1SecondHead[] = {15, 28, 36, 145, 146, 139};
constexpr std::uint8_t group1SecondTail[] = {8, 4, 10, 58};
constexpr ListEnds group1First{group1FirstHead, group1FirstTail};
constexpr ListEnds group1Second{group1SecondHead, group1SecondTail};

// SplitMix64 from the fixed seed the drawn groups were made with. The drawing runs at compile
// time, where every statement counts against the compiler's evaluation limit (clang's default is
// 1,048,576 steps; the drawing takes about 750,000), so it indexes plain pointers, not spans.
struct GroupDraw {
    std::uint64_t state = 0x2545F4914F6CDD1D;

    constexpr std::uint64_t next() {
        state += 0x9E3779B97F4A7C15;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        return z ^ (z >> 31);
    }
    // Uniform in 0..n-1: outputs from the incomplete last block of n values are drawn again.
    constexpr std::size_t below(std::size_t n) {
        const std::uint64_t incomplete = (0 - std::uint64_t{n}) % n;  // 2^64 modulo n
        for (;;) {
            const std::uint64_t x = next();
            if (x <= std::numeric_limits<std::uint64_t>::max() - incomplete) return x % n;
        }
    }
    // Fisher-Yates over the `count` entries from `items`, from the last entry down to the second.
    constexpr void shuffle(std::uint8_t* items, std::size_t count) {
        for (std::size_t i = count; i-- > 1;) {
            const std::size_t j = below(i + 1);
            const std::uint8_t item = items[i];
            items[i] = items[j];
            items[j] = item;
        }
    }
};

// Draws one group into the groupSize entries from `out`: the first list (of `firstCount`) takes
// 2 corners, 22 edge pieces (23 by a coin toss when it holds 150) and the rest interior pieces;
// the second list takes every other edge and interior piece. No list holds the hint piece. The
// pieces of each kind are shuffled before the first list takes its share from their front, then
// each list is shuffled between its given ends.
constexpr void drawGroup(GroupDraw& draw, std::uint8_t* out, std::size_t firstCount,
                         ListEnds firstEnds = {}, ListEnds secondEnds = {}) {
    const std::size_t edges = firstCount == 149 ? 22 : 22 + draw.below(2);
    std::size_t firstShare[3] = {firstCount - 2 - edges, edges, 2};  // by pieceType
    bool given[pieceCount] = {};
    for (std::span<const std::uint8_t> ends : {firstEnds.head, firstEnds.tail})
        for (const std::uint8_t piece : ends) {
            given[piece] = true;
            --firstShare[pieceType(piece)];
        }
    for (std::span<const std::uint8_t> ends : {secondEnds.head, secondEnds.tail})
        for (const std::uint8_t piece : ends)
            given[piece] = true;

    // The pieces of each kind left to draw, in increasing order.
    std::uint8_t pools[3][pieceCount] = {};
    std::size_t poolSizes[3] = {};
    for (int piece = 0; piece < pieceCount; ++piece)
        if (piece != hintPiece && !given[piece]) {
            const int kind = pieceType(piece);
            pools[kind][poolSizes[kind]++] = static_cast<std::uint8_t>(piece);
        }
    std::uint8_t* const firstDrawn = out + firstEnds.head.size();
    std::uint8_t* const second = out + firstCount;
    std::uint8_t* const secondDrawn = second + secondEnds.head.size();
    std::size_t firstAt = 0;
    std::size_t secondAt = 0;
    for (int kind = 2; kind >= 0; --kind) {
        std::uint8_t* const pool = pools[kind];
        draw.shuffle(pool, poolSizes[kind]);
        for (std::size_t i = 0; i < firstShare[kind]; ++i)
            firstDrawn[firstAt++] = pool[i];
        if (kind != 2)
            for (std::size_t i = firstShare[kind]; i < poolSizes[kind]; ++i)
                secondDrawn[secondAt++] = pool[i];
    }
    draw.shuffle(firstDrawn, firstAt);
    draw.shuffle(secondDrawn, secondAt);
    std::ranges::copy(firstEnds.head, out);
    std::ranges::copy(firstEnds.tail, firstDrawn + firstAt);
    std::ranges::copy(secondEnds.head, second);
    std::ranges::copy(secondEnds.tail, secondDrawn + secondAt);
}

// Group 0 as given, then groups 1 to 59 drawn in turn from one generator.
constexpr std::array<std::uint8_t, groupCount * groupSize> makeGroupPieces() {
    std::array<std::uint8_t, groupCount * groupSize> pieces{};
    std::ranges::copy(group0Second, std::ranges::copy(group0First, pieces.begin()).out);
    GroupDraw draw;
    for (int g = 1; g < groupCount; ++g) {
        std::uint8_t* const out = pieces.data() + groupSize * g;
        const auto firstCount = static_cast<std::size_t>(firstCountOf(g));
        if (g == 1)
            drawGroup(draw, out, firstCount, group1First, group1Second);
        else
            drawGroup(draw, out, firstCount);
    }
    return pieces;
}

constexpr std::array<std::uint8_t, groupCount* groupSize> groupPieces = makeGroupPieces();
constexpr std::array<PieceGroup, groupCount> groupTable = makeGroupTable();

}  // namespace

const BuiltInGroups& builtInGroups() {
    static constexpr BuiltInGroups groups{groupTable, groupPieces};
    return groups;
}

// Compile-time checks of every group.
namespace {

// The list of `count` entries from `start`.
constexpr std::span<const std::uint8_t> listAt(std::uint32_t start, std::int32_t count) {
    return std::span(groupPieces).subspan(start, count);
}

// `list` begins with `ends.head` and ends with `ends.tail`.
constexpr bool listHasEnds(std::span<const std::uint8_t> list, ListEnds ends) {
    return std::ranges::equal(list.first(ends.head.size()), ends.head) &&
           std::ranges::equal(list.last(ends.tail.size()), ends.tail);
}

// `check` holds for the group numbers 0 to 59.
template <typename Check>
constexpr bool everyGroup(Check check) {
    for (int g = 0; g < groupCount; ++g)
        if (!check(g)) return false;
    return true;
}

// `value` lies in low..high.
constexpr bool inRange(int value, int low, int high) {
    return low <= value && value <= high;
}

static_assert(
    [] {
        int previous = -1;
        for (int g : shortGroups) {
            if (g <= previous || g >= groupCount) return false;
            previous = g;
        }
        int shortGroupCount = 0;
        for (const PieceGroup& group : groupTable)
            shortGroupCount += group.firstCount == 149 ? 1 : 0;
        return shortGroupCount == static_cast<int>(shortGroups.size());
    }(),
    "the first lists of exactly the listed groups hold 149 pieces");

static_assert(everyGroup([](int g) {
                  const PieceGroup& group = groupTable[g];
                  return group.firstStart == static_cast<std::uint32_t>(groupSize * g) &&
                         inRange(group.firstCount, 149, 150) &&
                         group.secondStart ==
                             group.firstStart + static_cast<std::uint32_t>(group.firstCount) &&
                         group.firstCount + group.secondCount == groupSize;
              }),
              "group g lies at groupSize * g, its second list directly after its first");

static_assert(everyGroup([](int g) {
                  const PieceGroup& group = groupTable[g];
                  return checkGroup(listAt(group.firstStart, group.firstCount),
                                    listAt(group.secondStart, group.secondCount))
                             .rule == GroupRule::kept;
              }),
              "every group keeps the rules of a piece group");

static_assert(std::ranges::equal(listAt(groupTable[0].firstStart, groupTable[0].firstCount),
                                 group0First) &&
                  std::ranges::equal(listAt(groupTable[0].secondStart, groupTable[0].secondCount),
                                     group0Second),
              "group 0 is the given one");

static_assert(listHasEnds(listAt(groupTable[1].firstStart, groupTable[1].firstCount),
                          group1First) &&
                  listHasEnds(listAt(groupTable[1].secondStart, groupTable[1].secondCount),
                              group1Second),
              "group 1 begins and ends as given");

}  // namespace
