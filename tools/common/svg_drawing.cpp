#include "tools/common/svg_drawing.h"

#include <array>
#include <cstdio>

#include "tools/common/text_joining.h"

namespace {

constexpr int cell = 44;        // side of a square
constexpr int marginLeft = 34;  // room for the row numbers
constexpr int marginTop = 60;   // room for the title and the column numbers
constexpr int boardPixels = boardSize * cell;
constexpr int keyTop = marginTop + boardPixels + 54;  // below the lower column numbers
constexpr int keySwatch = 24;
constexpr int keyStep = 30;
constexpr int width = marginLeft + boardPixels + marginLeft;
constexpr int height = keyTop + keySwatch + 26;

// Fills by file colour: the border grey, then colours chosen to differ from each other
// as much as 22 colours can.
constexpr std::array<const char*, colourCount> fills{
    "#9e9e9e", "#f3c300", "#875692", "#f38400", "#a1caf1", "#be0032", "#c2b280", "#008856",
    "#e68fac", "#0067a5", "#f99379", "#604e97", "#f6a600", "#b3446c", "#dcd300", "#882d17",
    "#8db600", "#654522", "#e25822", "#2b3d26", "#f2f3f4", "#222222", "#00b5c8"};

// Whether dark text reads better than light text on a fill "#rrggbb".
bool isLight(const char* fill) {
    unsigned r = 0, g = 0, b = 0;
    std::sscanf(fill, "#%2x%2x%2x", &r, &g, &b);
    return 299 * r + 587 * g + 114 * b > 140000;
}

struct Point {
    double x;
    double y;
};

std::string pointsText(std::initializer_list<Point> points) {
    std::string text;
    for (const Point& p : points) {
        if (!text.empty()) text += ' ';
        text += joined(svgNumber(p.x), ",", svgNumber(p.y));
    }
    return text;
}

Point corner(int row, int col) {
    return {static_cast<double>(marginLeft + col * cell),
            static_cast<double>(marginTop + row * cell)};
}

std::string triangles(Square sq, PieceCode code) {
    const Point a = corner(sq.row, sq.col);
    const Point b = corner(sq.row, sq.col + 1);
    const Point c = corner(sq.row + 1, sq.col + 1);
    const Point d = corner(sq.row + 1, sq.col);
    const Point m{a.x + cell / 2.0, a.y + cell / 2.0};
    std::string text;
    // Each side: its triangle, and where its colour number stands, towards the side.
    const struct {
        Side side;
        Point from, to;
        Point label;
    } sides[] = {{Side::top, a, b, {m.x, a.y + cell * 0.27}},
                 {Side::right, b, c, {b.x - cell * 0.24, m.y + 3.5}},
                 {Side::bottom, c, d, {m.x, d.y - cell * 0.12}},
                 {Side::left, d, a, {a.x + cell * 0.24, m.y + 3.5}}};
    for (const auto& s : sides) {
        const int colour = fileColour(colourOn(code, s.side));
        const char* fill = colourFill(colour);
        text += joined("<polygon class=\"tri\" points=\"", pointsText({s.from, s.to, m}),
                       "\" fill=\"", fill, "\"/>\n");
        text += joined("<text x=\"", svgNumber(s.label.x), "\" y=\"", svgNumber(s.label.y),
                       "\" fill=\"", isLight(fill) ? "#000" : "#fff", "\">", colour, "</text>\n");
    }
    return text;
}

std::string emptySquare(Square sq) {
    const Point a = corner(sq.row, sq.col);
    return joined("<rect class=\"empty\" x=\"", svgNumber(a.x), "\" y=\"", svgNumber(a.y),
                  "\" width=\"", cell, "\" height=\"", cell, "\"/>\n");
}

// A mark along the edge from `from` to `to`: a dark band with a bright core, which stands out
// on every fill and leaves the colour numbers beside the edge readable.
std::string edgeMark(const char* kind, Point from, Point to) {
    const std::string line = joined("x1=\"", svgNumber(from.x), "\" y1=\"", svgNumber(from.y),
                                    "\" x2=\"", svgNumber(to.x), "\" y2=\"", svgNumber(to.y), "\"");
    return joined("<g class=\"", kind, "\"><line class=\"mark-band\" ", line,
                  "/><line class=\"mark-core\" ", line, "/></g>\n");
}

std::string mismatchMark(const Mismatch& m) {
    // The shared edge: the right side of `first` or its bottom side.
    const Point from =
        m.across ? corner(m.first.row, m.first.col + 1) : corner(m.first.row + 1, m.first.col);
    const Point to = corner(m.first.row + 1, m.first.col + 1);
    return edgeMark("mismatch", from, to);
}

std::string rimMark(const RimFault& fault) {
    const Square sq = fault.square;
    switch (fault.side) {
        case Side::top:
            return edgeMark("rim-fault", corner(sq.row, sq.col), corner(sq.row, sq.col + 1));
        case Side::right:
            return edgeMark("rim-fault", corner(sq.row, sq.col + 1),
                            corner(sq.row + 1, sq.col + 1));
        case Side::bottom:
            return edgeMark("rim-fault", corner(sq.row + 1, sq.col),
                            corner(sq.row + 1, sq.col + 1));
        case Side::left:
            return edgeMark("rim-fault", corner(sq.row, sq.col), corner(sq.row + 1, sq.col));
    }
    return "";
}

std::string margins() {
    std::string text;
    for (int i = 0; i < boardSize; ++i) {
        const double along = marginLeft + (i + 0.5) * cell;
        const double down = marginTop + (i + 0.5) * cell + 4;
        text += joined("<text class=\"margin\" x=\"", svgNumber(along), "\" y=\"", marginTop - 8,
                       "\">", i, "</text>\n");
        text += joined("<text class=\"margin\" x=\"", svgNumber(along), "\" y=\"",
                       marginTop + boardPixels + 18, "\">", i, "</text>\n");
        text += joined("<text class=\"margin\" x=\"", marginLeft / 2, "\" y=\"", svgNumber(down),
                       "\">", i, "</text>\n");
        text += joined("<text class=\"margin\" x=\"", marginLeft + boardPixels + marginLeft / 2,
                       "\" y=\"", svgNumber(down), "\">", i, "</text>\n");
    }
    return text;
}

std::string colourKey() {
    std::string text;
    for (int colour = 0; colour < colourCount; ++colour) {
        const int x = marginLeft + colour * keyStep;
        const char* fill = colourFill(colour);
        text += joined("<rect class=\"key\" x=\"", x, "\" y=\"", keyTop, "\" width=\"", keySwatch,
                       "\" height=\"", keySwatch, "\" fill=\"", fill, "\"/>");
        text += joined("<text x=\"", x + keySwatch / 2, "\" y=\"", keyTop + keySwatch / 2 + 4,
                       "\" fill=\"", isLight(fill) ? "#000" : "#fff", "\">", colour, "</text>\n");
    }
    return text;
}

std::string summary(const std::string& title, const BoardCheck& check) {
    std::string text = title + ": ";
    const std::size_t mismatched = check.mismatches.size();
    if (check.full())
        text += joined("score ", check.score(), ", ");
    else
        text += joined(check.filled, " of 256 squares filled, ");
    text += joined(mismatched, mismatched == 1 ? " mismatched edge" : " mismatched edges");
    if (!check.ruleBreaks.empty())
        text += joined(", ", check.ruleBreaks.size(),
                       check.ruleBreaks.size() == 1 ? " rule broken" : " rules broken");
    return text;
}

}  // namespace

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += (c >= ' ' && c <= '~') ? c : '?';
        }
    }
    return out;
}

std::string svgNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

const char* colourFill(int fileColour) {
    return fileColour >= 0 && fileColour < colourCount ? fills[fileColour] : "#ffffff";
}

std::string svgElement(const std::string& title, const ReadBoard& board, const BoardCheck& check) {
    std::string text = joined(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"", width, "\" height=\"", height,
        "\" viewBox=\"0 0 ", width, " ", height, "\">\n", "<style>\n",
        "text { font-family: sans-serif; font-size: 10px; text-anchor: middle; }\n",
        ".title { font-size: 15px; font-weight: bold; text-anchor: start; }\n",
        ".caption { font-size: 12px; text-anchor: start; }\n",
        ".margin { font-size: 12px; fill: #333; }\n",
        ".tri { stroke: #333; stroke-width: 0.5; stroke-linejoin: round; }\n",
        ".empty { fill: #fff; stroke: #bbb; stroke-width: 1; }\n",
        ".key { stroke: #333; stroke-width: 0.5; }\n",
        ".mark-band { stroke: #000; stroke-width: 9; stroke-linecap: round; }\n",
        ".mark-core { stroke: #ff2bd6; stroke-width: 5; stroke-linecap: round; }\n", "</style>\n",
        "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n", "<text class=\"title\" x=\"",
        marginLeft, "\" y=\"22\">", xmlEscaped(summary(title, check)), "</text>\n");
    text += margins();
    for (int r = 0; r < boardSize; ++r)
        for (int c = 0; c < boardSize; ++c) {
            const PieceCode code = board.slots[squareSlot[r][c]];
            text += code == emptyCode ? emptySquare({r, c}) : triangles({r, c}, code);
        }
    text += joined("<rect x=\"", marginLeft, "\" y=\"", marginTop, "\" width=\"", boardPixels,
                   "\" height=\"", boardPixels, "\" fill=\"none\" stroke=\"#000\"/>\n");
    for (const Mismatch& m : check.mismatches)
        text += mismatchMark(m);
    for (const RimFault& fault : check.rimFaults)
        text += rimMark(fault);
    // The key: what the numbers and the mark mean, then one swatch per colour.
    const int captionY = keyTop - 10;
    text += joined("<text class=\"caption\" x=\"", marginLeft, "\" y=\"", captionY,
                   "\">colours as numbered in the piece file (0 is the border)</text>\n");
    const int sampleEnd = marginLeft + boardPixels - 4;
    text += joined("<text class=\"caption\" style=\"text-anchor: end\" x=\"", sampleEnd - 44,
                   "\" y=\"", captionY, "\">mismatched edge</text>\n");
    text +=
        edgeMark("key-mark", {sampleEnd - 32.0, captionY - 4.0}, {sampleEnd - 4.0, captionY - 4.0});
    text += colourKey();
    return text + "</svg>\n";
}

std::string svgText(const std::string& title, const ReadBoard& board, const BoardCheck& check) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + svgElement(title, board, check);
}
