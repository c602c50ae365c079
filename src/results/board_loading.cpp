// Loading a BoardFile at the start of a run. The file is read in pieces of at most 999
// characters; a longer line goes on as a line of its own. Whatever the file holds, the load
// reads at most sixteen board lines, never writes past its line buffer, the board or the
// undo stacks, and reports each fault once on the error stream, taking the cell, the rest
// of the row or the rest of the board as empty.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "base/console.h"
#include "base/settings.h"
#include "puzzle/candidate_tables.h"
#include "puzzle/list_editing.h"
#include "results/board_files.h"
#include "search/board_geometry.h"
#include "search/search_state.h"

namespace {

constexpr int lineCapacity = 999;
constexpr int rowCount = 16;
constexpr int cellsPerRow = 16;
constexpr int highestPiece = 256;
// Longest cell text repeated in a message; longer ones are cut and end in "...".
constexpr int shownCellLength = 20;
// A NUL byte of the file is read as this byte, which no cell may hold, so that a cell text
// always ends where its separator is.
constexpr char nulStandIn = '\x7f';

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
    char text[lineCapacity + 1];
    int length;
    bool endsLine;  // the line feed that ends the file's line came right after the piece
};

// Reads the next piece of at most lineCapacity characters; false at the end of the file.
bool readPiece(std::FILE* file, LinePiece& piece) {
    piece.length = 0;
    piece.endsLine = false;
    int c = EOF;
    while (piece.length < lineCapacity && (c = std::getc(file)) != EOF && c != '\n')
        piece.text[piece.length++] = c == '\0' ? nulStandIn : static_cast<char>(c);
    if (c == '\n') {
        piece.endsLine = true;
    } else if (piece.length == lineCapacity) {
        // A line of exactly lineCapacity characters ends here, not in an empty piece.
        c = std::getc(file);
        if (c == '\n')
            piece.endsLine = true;
        else if (c != EOF)
            std::ungetc(c, file);
    }
    piece.text[piece.length] = '\0';
    return piece.length > 0 || piece.endsLine;
}

// The cell as a message shows it: printable characters kept, others as '?', cut when long.
void showCell(const char* cell, char (&shown)[shownCellLength + 4]) {
    int n = 0;
    for (; cell[n] != '\0' && n < shownCellLength; ++n) {
        const char c = cell[n];
        shown[n] = (c >= ' ' && c <= '~') ? c : '?';
    }
    if (cell[n] != '\0')
        for (int k = 0; k < 3; ++k)
            shown[n++] = '.';
    shown[n] = '\0';
}

// Takes the piece of `code`, read from cell `cellIndex` of `lineNumber`, out of play on `slot`.
void takePiece(PieceCode code, int slot, std::int64_t lineNumber, int cellIndex) {
    const int p = pieceNumberOf(code);
    if (search.pieceFree[p]) {
        search.pieceFree[p] = 0;
        if (search.inFirstList[p])
            ++search.firstListPlaced;
        else if (search.inSecondList[p])
            ++search.secondListPlaced;
    } else {
        // Already out of play and counted: only the list removals are repeated, and list
        // editing reports the codes it no longer finds.
        printErr("Board file %s, line %lld, cell %d: piece %d is named again\n", settings.boardPath,
                 static_cast<long long>(lineNumber), cellIndex + 1, p + 1);
    }
    switch (squareKind[slot]) {
        case 0:
            removePiece(p, interiorByLeftTop);
            removePieceByTop(p);
            removePieceByLeft(p);
            break;
        case 1:
            removePiece(p, edgeByLeftTop);
            break;
        default:
            break;
    }
}

// Loads the cells of one board line into slot row `row`.
void loadRow(LinePiece& piece, int row, std::int64_t lineNumber) {
    char* text = piece.text;
    int i = 0;
    int cells = 0;
    for (; cells < cellsPerRow; ++cells) {
        while (i < piece.length && isSeparator(text[i]))
            ++i;
        if (i >= piece.length) break;
        const int start = i;
        while (i < piece.length && !isSeparator(text[i]))
            ++i;
        const char separator = text[i];
        text[i] = '\0';
        const int slot = cellsPerRow * row + cells;
        PieceCode code = emptyCode;
        if (!parseCell(text + start, code)) {
            char shown[shownCellLength + 4];
            showCell(text + start, shown);
            printErr("Board file %s, line %lld, cell %d: \"%s\" is not a piece, taken as empty\n",
                     settings.boardPath, static_cast<long long>(lineNumber), cells + 1, shown);
        }
        search.board[slot] = code;
        if (code != emptyCode) takePiece(code, slot, lineNumber, cells);
        text[i] = separator;
    }
    if (cells < cellsPerRow)
        printErr("Board file %s, line %lld: only %d cells, the rest of the row taken as empty\n",
                 settings.boardPath, static_cast<long long>(lineNumber), cells);
}

// A run loads the board file anew every time, and a farm keeps its instances' output for
// months: a load whose faults are those of the load before prints nothing, so an unchanged
// file reports its faults once per start. Of the file's own faults (the lines that begin
// with "Board file ") at most shownFaultLimit are shown, with what list editing reports for
// them, and then how many more there are.
std::string lastFaults;
constexpr int shownFaultLimit = 30;
constexpr const char* faultPrefix = "Board file ";

// Prints the faults of a load (the lines it printed on the error stream) unless they repeat
// the last load's.
void showFaults(const std::string& faults) {
    if (faults == lastFaults) return;
    lastFaults = faults;
    int fileFaults = 0;
    std::size_t shownEnd = 0;
    for (std::size_t end; (end = faults.find('\n', shownEnd)) != std::string::npos;
         shownEnd = end + 1) {
        if (faults.compare(shownEnd, std::strlen(faultPrefix), faultPrefix) != 0) continue;
        if (fileFaults == shownFaultLimit) break;
        ++fileFaults;
    }
    int hidden = 0;
    for (std::size_t at = faults.find(faultPrefix, shownEnd); at != std::string::npos;
         at = faults.find(faultPrefix, at + 1))
        hidden += at == 0 || faults[at - 1] == '\n';
    printErr("%s", faults.substr(0, shownEnd).c_str());
    if (hidden > 0)
        printErr("%s%s: %d more faults, not shown\n", faultPrefix, settings.boardPath, hidden);
}

// Only a regular file is read: a run reads the file anew every time, and a directory, a
// device or a pipe could make it wait, or read, without end.
bool isRegularFile(const char* path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Loads the board file at settings.boardPath, printing its faults on the error stream.
void loadBoardFile() {
    std::FILE* file =
        isRegularFile(settings.boardPath) ? std::fopen(settings.boardPath, "r") : nullptr;
    if (file == nullptr) {
        printErr("Cannot open %s\n", settings.boardPath);
        return;
    }
    printOut("load board %s\n", settings.boardPath);
    clearRunState();

    LinePiece piece;
    std::int64_t lineNumber = 1;
    int row = rowCount - 1;
    while (row >= 0 && readPiece(file, piece)) {
        if (std::memchr(piece.text, '/', static_cast<std::size_t>(piece.length)) != nullptr) {
            loadRow(piece, row, lineNumber);
            --row;
        }
        if (piece.endsLine) ++lineNumber;
    }
    std::fclose(file);
    if (row >= 0)
        printErr("Board file %s ends after %d board lines, the other rows taken as empty\n",
                 settings.boardPath, rowCount - 1 - row);
}

}  // namespace

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
    code = piece < 0 ? emptyCode : rotationTable[4 * piece + rotation].code;
    return wellFormed;
}

PieceCode parseCell(const char* cell) {
    PieceCode code = emptyCode;
    parseCell(cell, code);
    return code;
}

void loadBoard() {
    // The load's faults, and those list editing reports for it, are collected first.
    char* faults = nullptr;
    std::size_t length = 0;
    std::FILE* collected = open_memstream(&faults, &length);
    if (collected == nullptr) {
        loadBoardFile();
        return;
    }
    std::FILE* const errorStream = consoleErr;
    consoleErr = collected;
    loadBoardFile();
    consoleErr = errorStream;
    std::fclose(collected);
    showFaults(std::string(faults, length));
    std::free(faults);
}
