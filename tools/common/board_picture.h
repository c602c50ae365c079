// The best record board of the statistics page, checked against its piece file and drawn as
// tessaly-show --svg draws it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/common/record_board_list.h"

// The boards named before the rest are only counted, wherever boards passed over are listed.
inline constexpr std::size_t namedPassedOverBoards = 20;

struct BoardPicture {
    std::string boardPath;           // the board drawn, or empty
    std::string pieceFile;           // the piece file it was checked against, or empty
    std::string svg;                 // the picture as one <svg> element, or empty
    std::string report;              // what tessaly-show reports for it: score, mismatches, rules
    std::vector<std::string> notes;  // why no board is drawn: no piece file, or a faulty one
    // The better boards passed over, best first, one sentence each: why the first
    // namedPassedOverBoards cannot be drawn or are not what their names say, then one sentence
    // that counts the rest.
    std::vector<std::string> passedOver;
};

// Where the piece file of the board at `boardPath` is looked for: k7pieces.txt beside the
// board (a farm that loads a board file copies it there), in the parent of `directories`
// when they share one, in the parent of that (the start directory of a farm), and in the
// current directory; the first regular file of these, or an empty text.
std::string findPieceFile(const std::string& boardPath,
                          const std::vector<std::string>& directories);

// Draws the first of `boards` (best first) that can be read and is what its name says (full,
// of the score of its name), checked against `pieceFile`, or, when that is empty, against the
// piece file found for it. The boards before it are passed over, and the picture says why;
// without a piece file nothing is drawn nor passed over.
BoardPicture bestBoardPicture(const std::vector<RecordBoard>& boards, const std::string& pieceFile,
                              const std::vector<std::string>& directories);
// The passed-over sentences of `picture` as lines of text, control characters escaped; empty
// when no board was passed over.
std::string passedOverText(const BoardPicture& picture);
