#include "results/board_grid.h"

#include <cstring>

#include "puzzle/candidate_tables.h"
#include "puzzle/puzzle_tables.h"

namespace {

constexpr int lineCapacity = 999;
constexpr std::size_t shownCellLength = 20;
constexpr char nulStandIn = '\x7f';

constexpr int highestPiece = 256;

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* skipSeparators(const char* c) {
    while (isSeparator(*c))
        ++c;
    return c;
}

// One piece of a line of the file, without its line feed.
struct LinePiece {
    std::string text;
    bool endsLine = false;  // the line feed that ends the file's line came right after it
};

// Reads the next piece of at most lineCapacity characters; false at the end of the file.
bool readPiece(std::FILE* file, LinePiece& piece) {
    piece.text.clear();
    piece.endsLine = false;
    int c = EOF;
    while (piece.text.size() < lineCapacity && (c = std::getc(file)) != EOF && c != '\n')
        piece.text += c == '\0' ? nulStandIn : static_cast<char>(c);
    if (c == '\n') {
        piece.endsLine = true;
    } else if (piece.text.size() == lineCapacity) {
        // A line of exactly lineCapacity characters ends here, not in an empty piece.
        c = std::getc(file);
        if (c == '\n')
            piece.endsLine = true;
        else if (c != EOF)
            std::ungetc(c, file);
    }
    return !piece.text.empty() || piece.endsLine;
}

std::vector<std::string> firstCells(const std::string& text) {
    std::vector<std::string> cells;
    std::size_t i = 0;
    while (cells.size() < gridCellsPerRow) {
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        if (i >= text.size()) break;
        const std::size_t start = i;
        while (i < text.size() && !isSeparator(text[i]))
            ++i;
        cells.push_back(text.substr(start, i - start));
    }
    return cells;
}

}  // namespace

int readGridLines(std::FILE* file, const std::function<void(const GridLine&)>& onLine) {
    LinePiece piece;
    std::int64_t lineNumber = 1;
    int lines = 0;
    while (lines < gridRows && readPiece(file, piece)) {
        if (piece.text.find('/') != std::string::npos) {
            onLine({gridRows - 1 - lines, lineNumber, firstCells(piece.text)});
            ++lines;
        }
        if (piece.endsLine) ++lineNumber;
    }
    return lines;
}

std::string shownCell(std::string_view cell) {
    std::string text;
    for (std::size_t i = 0; i < cell.size() && i < shownCellLength; ++i)
        text += (cell[i] >= ' ' && cell[i] <= '~') ? cell[i] : '?';
    if (cell.size() > shownCellLength) text += "...";
    return text;
}

bool parseCellPiece(const char* cell, int& piece, int& rotation) {
    piece = -1;
    rotation = 0;
    const char* c = skipSeparators(cell);
    if (std::strncmp(c, "---/-", 5) == 0) return *skipSeparators(c + 5) == '\0';
    // The value stops growing once it is too large, so no number of digits overflows it.
    int number = 0;
    int digits = 0;
    for (; isDigit(*c); ++c, ++digits)
        if (number <= highestPiece) number = 10 * number + (*c - '0');
    if (digits == 0 || *c != '/') return false;
    ++c;
    if (!isDigit(*c)) return false;
    const int turns = *c - '0';
    if (*skipSeparators(c + 1) != '\0') return false;
    if (number == 0 && turns == 0) return true;
    if (number < 1 || number > highestPiece || turns > 3) return false;
    piece = number - 1;
    rotation = turns;
    return true;
}

bool parseCell(const char* cell, PieceCode& code) {
    int piece = -1;
    int rotation = 0;
    const bool wellFormed = parseCellPiece(cell, piece, rotation);
    code = piece < 0 ? emptyCode : puzzle.rotationTable[4 * piece + rotation].code;
    return wellFormed;
}

PieceCode parseCell(const char* cell) {
    PieceCode code = emptyCode;
    parseCell(cell, code);
    return code;
}
