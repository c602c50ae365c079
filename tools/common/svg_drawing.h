// Drawing a board as an SVG picture: every filled square as four triangles in the colours of
// its edges, mismatched edges and wrong outline edges marked, row and column numbers on the
// margin, a title and a key of the colours below.
#pragma once

#include <string>

#include "tools/common/board_check.h"
#include "tools/common/board_reading.h"

// The fill of a colour, by the number the piece file gives it: a neutral grey for the
// border (0) and a distinct colour for each of the others.
const char* colourFill(int fileColour);
// `text` with the five XML specials escaped and anything but printable ASCII as '?', so that
// a document stays well-formed whatever bytes a file name holds.
std::string xmlEscaped(const std::string& text);
// A coordinate or length as SVG writes it: "%g", so "12", "12.5".
std::string svgNumber(double value);

// The SVG document of `board`, titled `title`, with the marks of `check`. A filled square is
// four polygons of class "tri"; an empty square is a plain square; each mismatched edge is
// one group of class "mismatch", each wrong outline edge one of class "rim-fault".
std::string svgText(const std::string& title, const ReadBoard& board, const BoardCheck& check);
// The same picture as one <svg> element without the XML declaration, to stand inside a page.
// Its style sheet names the classes above and "title", "caption", "margin" and "key".
std::string svgElement(const std::string& title, const ReadBoard& board, const BoardCheck& check);
