#include "tools/common/board_reading.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/file_reading.h"
#include "results/board_files.h"
#include "results/board_grid.h"
#include "search/board_geometry.h"
#include "tools/common/text_joining.h"

namespace {

constexpr std::string_view versionLine = recordBoardVersionLine;
// The version line up to its version ("K7 v"): what any version of a record board begins with.
constexpr std::string_view versionTag = versionLine.substr(0, versionLine.find('v') + 1);
constexpr int recordWords = recordBoardWords;
constexpr std::size_t recordDigits = 8 * recordWords;

template <typename T>
Reading<T> failed(std::string problem) {
    return {std::nullopt, std::move(problem)};
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A character as a message shows it: printable ASCII kept, anything else as '?'.
char shown(char c) {
    return (c >= ' ' && c <= '~') ? c : '?';
}

std::string firstLineOf(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// A word that can stand on a board: emptyCode, or a piece number 0 to 255 with colours 0 to 22.
bool isPieceWord(PieceCode word) {
    if (word == emptyCode) return true;
    if (word < 0) return false;
    for (int colour : {bottomOf(word), rightOf(word), topOf(word), leftOf(word)})
        if (colour >= colourCount) return false;
    return true;
}

std::string hexText(PieceCode word) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(word)));
    return text;
}

std::string squareText(int slot) {
    return joined("(", slotSquare[slot].row, ", ", slotSquare[slot].col, ")");
}

Reading<ReadBoard> readRecord(const std::string& text) {
    const std::string first = firstLineOf(text);
    if (first != versionLine)
        return failed<ReadBoard>(joined("it begins like a record board but its version line is \"",
                                        shownCell(first), "\", not \"", versionLine, "\""));
    std::string digits;
    int line = 2;
    int column = 0;
    for (std::size_t i = text.find('\n') + 1; i < text.size(); ++i) {
        const char c = text[i];
        ++column;
        if (c == '\n') {
            ++line;
            column = 0;
            continue;
        }
        if (c == '\r') continue;
        if (!isHexDigit(c))
            return failed<ReadBoard>(joined("line ", line, ", column ", column, ": '", shown(c),
                                            "' is not a hexadecimal digit"));
        digits += c;
    }
    if (digits.size() < recordDigits)
        return failed<ReadBoard>(joined("the record board is cut short: it holds ", digits.size(),
                                        " hexadecimal digits, not ", recordDigits, " (",
                                        recordWords, " words)"));
    if (digits.size() > recordDigits)
        return failed<ReadBoard>(joined("the record board is too long: it holds ", digits.size(),
                                        " hexadecimal digits, not ", recordDigits, " (",
                                        recordWords, " words)"));
    // The digits are checked; the solver's own decoding undoes the chain.
    const auto slots = decodeRecordBoard(joined(versionLine, "\n", digits));
    if (!slots) return failed<ReadBoard>("the record board cannot be decoded");
    ReadBoard board;
    board.format = BoardFormat::record;
    board.slots = *slots;
    int invalid = 0;
    int firstInvalid = -1;
    for (int s = 0; s < 256; ++s) {
        if (!isPieceWord(board.slots[s])) {
            if (firstInvalid < 0) firstInvalid = s;
            ++invalid;
        }
    }
    if (invalid > 0)
        return failed<ReadBoard>(
            joined("the record board is damaged: ", invalid, " of its 256 slot ",
                   invalid == 1 ? "words is" : "words are", " no piece code (the first is ",
                   hexText(board.slots[firstInvalid]), " in slot ", firstInvalid, ", square ",
                   squareText(firstInvalid), ")"));
    return {board, ""};
}

// The grid by the rules the solver loads it with; the first fault ends the reading.
Reading<ReadBoard> readGrid(const std::string& text, const PieceTables& pieces) {
    ReadBoard board;
    board.format = BoardFormat::grid;
    board.slots.fill(emptyCode);
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (text.empty() || file == nullptr) file = std::fopen("/dev/null", "r");
    if (file == nullptr) return failed<ReadBoard>("cannot be read");
    std::string problem;
    const int lines = readGridLines(file, [&](const GridLine& line) {
        if (!problem.empty()) return;
        const std::string where = joined("line ", line.lineNumber);
        if (line.cells.size() < gridCellsPerRow) {
            problem = joined(where, " has only ", line.cells.size(),
                             line.cells.size() == 1 ? " cell" : " cells", "; a board line has 16");
            return;
        }
        for (int j = 0; j < gridCellsPerRow && problem.empty(); ++j) {
            int number = -1;
            int rotation = 0;
            if (!parseCellPiece(line.cells[j].c_str(), number, rotation))
                problem = joined(where, ", cell ", j + 1, ": \"", shownCell(line.cells[j]),
                                 "\" is not a piece cell (N/R with a piece N from 1 to 256 and a "
                                 "rotation R from 0 to 3, or ---/- for empty)");
            else if (number >= 0)
                board.slots[gridCellsPerRow * line.row + j] =
                    rotate(rotation, pieces.codes[number]);
        }
    });
    std::fclose(file);
    if (!problem.empty()) return failed<ReadBoard>(problem);
    if (lines == 0)
        return failed<ReadBoard>(joined("it is neither a record board (its first line is not \"",
                                        versionLine,
                                        "\") nor a board file (no line holds a piece cell with "
                                        "a '/')"));
    if (lines < gridRows)
        return failed<ReadBoard>(joined("the board file ends after ", lines,
                                        " board lines; it needs 16 (---/- marks an empty "
                                        "square)"));
    return {board, ""};
}

}  // namespace

Reading<std::string> readWholeFile(const std::string& path) {
    std::string text;
    const FileReading reading = readRegularFile(path.c_str(), largestBoardFile, text);
    if (reading.fault == FileReading::tooLarge)
        return failed<std::string>(
            joined("is larger than ", largestBoardFile, " bytes, too large for a board file"));
    if (reading.fault != FileReading::none) return failed<std::string>(readingProblem(reading));
    return {text, ""};
}

Reading<PieceTables> readPieces(const std::string& path) {
    PieceTables tables;
    const PieceFileError error = parsePieceFile(path.c_str(), tables);
    switch (error.kind) {
        case PieceFileError::none:
            return {tables, ""};
        case PieceFileError::cannotOpen:
            return failed<PieceTables>(readingProblem(error.opening));
        case PieceFileError::earlyEnd:
            return failed<PieceTables>(joined("it ends after ", error.line - 1,
                                              " lines; a piece file has 256 pieces, one a line"));
        case PieceFileError::badLine:
            return failed<PieceTables>(
                joined("line ", error.line, " does not begin with four colour numbers"));
        case PieceFileError::badColour:
            return failed<PieceTables>(joined("line ", error.line, ": colour number ", error.colour,
                                              " is outside 0 to 22 (0 is the "
                                              "border)"));
    }
    return failed<PieceTables>("cannot be read");
}

Reading<ReadBoard> readBoardText(const std::string& text, const PieceTables& pieces) {
    if (firstLineOf(text).starts_with(versionTag)) return readRecord(text);
    return readGrid(text, pieces);
}

Reading<ReadBoard> readBoardFile(const std::string& path, const PieceTables& pieces) {
    const Reading<std::string> text = readWholeFile(path);
    if (!text.value) return failed<ReadBoard>(text.problem);
    return readBoardText(*text.value, pieces);
}
