// How deep the runs of solver directories went: the deepest of their deepest boards
// (deepest.txt, judged by the solver's rule and checked as tessaly-show checks a board file) and
// their runs counted by deepest depth, added up in the bands of deepestDepthBands.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "search/run_depths.h"
#include "tools/common/board_check.h"
#include "tools/common/directory_reading.h"

// Runs per band, band 0 the runs below the first band depth.
using DepthBands = std::array<std::int64_t, depthBandCount>;
// The name of a band as the text and the page show it: "below 240", "240-247", "254".
std::string bandName(std::size_t band);

// A deepest board read and checked against its piece file.
struct DeepestBoard {
    std::string path;       // DIR/deepest.txt
    std::string pieceFile;  // the piece file it was read with
    ReadBoard board;
    BoardCheck check;
    int depth = -1;      // its deepest depth in fill order
    int mismatches = 0;  // its mismatched edges between filled squares
};

struct RunDepths {
    // The deepest depth of any run counted or any deepest board read; -1 for none.
    int deepest = -1;
    // The deepest of the boards, the one with fewer mismatched edges among equally deep ones,
    // the first named among those.
    std::optional<DeepestBoard> board;
    DepthBands runs{};  // the runs of all directories by band, added up (held at the limits)
    // One sentence per deepest.txt passed over: "DIR/deepest.txt: PROBLEM; passed over".
    std::vector<std::string> problems;
    std::vector<std::string> pieceFiles;  // the piece files read, each once
};

// What `directories` tell of their runs' depths: their run counts, and their deepest.txt
// files read with `pieceFile` or, when that is empty, with the piece file found for each
// (findPieceFile). A directory without deepest.txt or without counts adds nothing.
RunDepths readRunDepths(const std::vector<DirectoryStatistics>& directories,
                        const std::string& pieceFile);
// The lines tessaly-stats prints: the deepest depth, the deepest board, and the runs in each
// band, control characters of paths escaped.
std::string runDepthsText(const RunDepths& depths);
