// The best record board of the statistics page, checked against its piece file and drawn as
// tessaly-show --svg draws it.
#pragma once

#include <string>
#include <vector>

#include "tools/common/record_board_list.h"

struct BoardPicture {
    std::string boardPath;           // the board drawn, or empty
    std::string pieceFile;           // the piece file it was checked against, or empty
    std::string svg;                 // the picture as one <svg> element, or empty
    std::string report;              // what tessaly-show reports for it: score, mismatches, rules
    std::vector<std::string> notes;  // why a board is not drawn
};

// Where the piece file of the board at `boardPath` is looked for: k7pieces.txt beside the
// board (a farm that loads a board file copies it there), in the parent of `directories`
// when they share one, in the parent of that (the start directory of a farm), and in the
// current directory; the first regular file of these, or an empty text.
std::string findPieceFile(const std::string& boardPath,
                          const std::vector<std::string>& directories);

// Draws the first of `boards` (best first) that can be read, checked against `pieceFile`,
// or, when that is empty, against the piece file found for it. Boards that cannot be read
// are named in the notes and the next one is tried; without a piece file nothing is drawn.
BoardPicture bestBoardPicture(const std::vector<RecordBoard>& boards, const std::string& pieceFile,
                              const std::vector<std::string>& directories);
