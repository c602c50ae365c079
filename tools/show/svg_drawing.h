// Drawing a board as an SVG picture: every filled square as four triangles in the colours of
// its edges, mismatched edges and wrong outline edges marked, row and column numbers on the
// margin, a title and a key of the colours below.
#pragma once

#include <string>

#include "show/board_check.h"
#include "show/board_reading.h"

// The fill of a colour, by the number the piece file gives it: a neutral grey for the
// border (0) and a distinct colour for each of the others.
const char* colourFill(int fileColour);

// The SVG document of `board`, titled `title`, with the marks of `check`. A filled square is
// four polygons of class "tri"; an empty square is a plain square; each mismatched edge is
// one group of class "mismatch", each wrong outline edge one of class "rim-fault".
std::string svgText(const std::string& title, const ReadBoard& board, const BoardCheck& check);
