// Where the nodes of a run go, as the steps with options count them for tessaly-bench
// --profile: the nodes placed at each profiled depth or deeper. The solver's own steps count
// nothing of it.
#pragma once

#include <array>
#include <cstdint>

#include "base/search_option_row.h"
#include "search/board_geometry.h"
#include "search/search_state.h"
#include "search/step_hooks.h"

// The depth bands whose nodes the profile shows, by their first depths.
inline constexpr std::array<int, 5> profileBandStarts{0, 120, 193, 230, 248};
// From this depth on the profile shows the placements of every depth.
inline constexpr int firstProfiledDeepDepth = 240;

// Whether the steps of `depth` count the nodes below their entries: the first depths of the
// bands (depth 0 counts all nodes of a run anyway) and every depth from firstProfiledDeepDepth.
constexpr bool isProfiledDepth(int depth) {
    if (depth >= firstProfiledDeepDepth && depth < depthCount) return true;
    for (std::size_t b = 1; b < profileBandStarts.size(); ++b)
        if (profileBandStarts[b] == depth) return true;
    return false;
}
// Those depths, in order.
inline constexpr auto profiledDepths = [] {
    constexpr int count = [] {
        int n = 0;
        for (int d = 0; d < depthCount; ++d)
            n += isProfiledDepth(d);
        return n;
    }();
    std::array<int, count> depths{};
    int i = 0;
    for (int d = 0; d < depthCount; ++d)
        if (isProfiledDepth(d)) depths[i++] = d;
    return depths;
}();
static_assert(profiledDepths.size() == 18 && profiledDepths[0] == 120 && profiledDepths[3] == 240);

// The place of `depth` in profiledDepths, or -1.
constexpr int profileIndex(int depth) {
    for (std::size_t i = 0; i < profiledDepths.size(); ++i)
        if (profiledDepths[i] == depth) return static_cast<int>(i);
    return -1;
}

// What ended the deepest branch of a run that reached firstDeadEndDepth or deeper: at the first
// dead end at its deepest depth, the square after it took no piece because
enum class DeadEnd : std::int8_t {
    none,           // no dead end there (yet): a full board, or a run stopped in the branch
    rim,            // the free edge and corner pieces could no longer close the rim
    mismatchLimit,  // nothing fitted exactly, and the board held the mismatches the depth allows
    noFit,          // no free piece fitted, even with one mismatched edge where one is allowed
    bound,          // the mismatch bound refused what fitted: the colours left need too many
};
// The shallowest deepest depth whose dead end the profile judges.
inline constexpr int firstDeadEndDepth = 240;

struct DepthProfile {
    // Nodes counted while the step of each profiled depth ran, for every entry into it that has
    // returned: the placements at that depth and deeper.
    std::array<std::int64_t, profiledDepths.size()> nodesFrom{};
    // nodeCount at the entry into the step of each profiled depth while that step runs, or -1.
    std::array<std::int64_t, profiledDepths.size()> enteredAt =
        filled<std::int64_t, profiledDepths.size()>(-1);
    // The deepest depth at which the run met a dead end (firstDeadEndDepth or deeper, else -1),
    // and what ended it.
    std::int32_t deadEndDepth = -1;
    DeadEnd deadEnd = DeadEnd::none;
};
// Its record of the current run is held with the run's options: runRecord<DepthProfile>().

// The nodes of the run placed at `depth` (a profiled depth) or deeper, counting those of a step
// that still runs (or that a budget stop left) up to now.
std::int64_t nodesFromDepth(int depth);

// Called when the step of `depth`, entered with the board filled to depth - 1 deeper than any
// dead end before in the run, placed nothing: judges what ended the branch (the rim first, as
// the cause below the others, then the bound), with `rimRefused` when the look-ahead refused a
// piece there and `boundRefused` when the mismatch bound did.
[[gnu::cold, gnu::noinline]] void noteDeadEnd(int depth, bool rimRefused, bool boundRefused);

// The profile as a search option of the bench's alone: the steps with options count for it.
struct ProfileOption {
    using Record = DepthProfile;
    static constexpr SearchOptionRow row{
        .name = "Profile",
        .benchFlag = "--profile",
        .word = nullptr,
        .valueName = nullptr,
        .least = 1,
        .most = 1,
        .help = "the nodes by depth, the deep placements and the ends of the runs",
        .benchPage = R"roff(Add where the nodes went: a line
.BI "nodes at depths " A\-B " " N " (" P " %)"
for each of the depth bands 0\(en119, 120\(en192, 193\(en229, 230\(en247 and
248\(en254 (nodes are placements, so the bands add up to the node total), the
line
.B "placements at depths 240\-254"
with fifteen counts, one a depth (those at depth 254 are the full boards),
and
.B "run ends"
with the number of runs ended by each mark
.RB ( \- ,
.BR \e ,
.BR _ ,
.BR ): ),
by none (after a checkpoint),
by exhausting their search
.RB ( exhausted )
and by the node total
.RB ( "node total" ).
Then what ended the deepest branch of the runs whose deepest depth reached 240,
a line for each band of deepest depths, as
.PP
.RS
.B "deepest 248\-249: 6 runs (3.89 a CPU-minute); ended by rim 0,"
.B "mismatch limit 6, no fit 0, mismatch bound 0, stopped in it 0"
.RE
.PP
(on one line), judged at the first dead end at the run's deepest depth, where
the square after it took no piece:
.B rim
when the free edge and corner pieces could no longer close the rim (the rim
look-ahead's test, made there whether the look-ahead is on or not, or the
look-ahead refused a piece at the square),
.B "mismatch limit"
when nothing fitted exactly and the board held as many mismatched edges as the
depth allows,
.B "no fit"
when no free piece fitted even with one mismatched edge where one is allowed,
.B "mismatch bound"
when the mismatch bound (see
.BR \-\-mismatch\-bound )
refused what fitted,
and
.B "stopped in it"
when the node total ended the run inside the branch; the line of depth 254
counts the runs that found full boards.
Then a line from each search option that counts, as said under it.
The profile leaves the search as it is, node for node, but it runs on the steps
with options, as the search options do, and the speed printed is theirs.)roff",
    };
};

// The run's options hold this option's record: their header defines runRecord, which the
// functions above call, once the list of options (this option included) is complete.
#include "search/search_options.h"
