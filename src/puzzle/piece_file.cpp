#include "puzzle/piece_file.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/console.h"
#include "base/fatal_exit.h"
#include "puzzle/puzzle_tables.h"

namespace {

constexpr bool isPermutation(const std::array<int, colourCount>& map) {
    std::array<bool, colourCount> seen{};
    for (int c : map) {
        if (c < 0 || c >= colourCount || seen[c]) return false;
        seen[c] = true;
    }
    return true;
}
static_assert(isPermutation(colourMap) && colourMap[0] == borderColour);

// A line is read into a buffer of 50 characters: at most 48 characters and its line end;
// the rest of a longer line is read as the next line.
constexpr int lineBufferSize = 50;

// A number as the scan format "%d" reads it, and its text as written.
struct ScannedNumber {
    int value = 0;  // clamped to +-tooLarge, which no colour reaches
    std::string text;
};
constexpr int tooLarge = 1000;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the number at `at` as "%d" does: white space skipped, an optional sign, then at least
// one digit; moves `at` past it. A number of any length is read without overflow: its value
// stops growing past every colour, and its text keeps it as written for the message.
bool scanNumber(const char*& at, ScannedNumber& number) {
    const char* c = at;
    while (isBlank(*c))
        ++c;
    const char* start = c;
    const bool negative = *c == '-';
    if (*c == '-' || *c == '+') ++c;
    if (!isDigit(*c)) return false;
    int magnitude = 0;
    for (; isDigit(*c); ++c)
        magnitude = std::min(tooLarge, 10 * magnitude + (*c - '0'));
    number.value = negative ? -magnitude : magnitude;
    number.text.assign(start, c);
    at = c;
    return true;
}

[[noreturn]] void failWith(const char* first, const char* second) {
    printErr("%s", first);
    printErr("%s", second);
    fatalExit();
}

}  // namespace

PieceFileError parsePieceFile(const char* path, PieceTables& tables) {
    FileReading opening;
    std::FILE* file = openRegularFile(path, opening);
    if (file == nullptr) return {PieceFileError::cannotOpen, 0, "", opening};
    PieceFileError fault;
    char line[lineBufferSize];
    for (int piece = 0; piece < pieceCount; ++piece) {
        const int lineNumber = piece + 1;
        if (std::fgets(line, lineBufferSize, file) == nullptr) {
            fault = {PieceFileError::earlyEnd, lineNumber, "", {}};
            break;
        }
        ScannedNumber numbers[4];
        const char* at = line;
        bool complete = true;
        for (ScannedNumber& number : numbers)
            complete = complete && scanNumber(at, number);
        if (!complete) {
            fault = {PieceFileError::badLine, lineNumber, "", {}};
            break;
        }
        int borders = 0;
        int colours[4] = {};
        for (int k = 0; k < 4; ++k) {
            if (numbers[k].value < 0 || numbers[k].value > 22) {
                fault = {PieceFileError::badColour, lineNumber, numbers[k].text, {}};
                break;
            }
            colours[k] = numbers[k].value;
            if (colours[k] == 0) ++borders;
        }
        if (fault.kind != PieceFileError::none) break;
        tables.borderCount[piece] = borders;
        // The line lists the edges clockwise from the right: right, bottom, left, top.
        tables.codes[piece] = makePieceCode(piece, colourMap[colours[1]], colourMap[colours[0]],
                                            colourMap[colours[3]], colourMap[colours[2]]);
    }
    std::fclose(file);
    return fault;
}

void readPieceFile(const char* path) {
    PieceTables tables;
    const PieceFileError fault = parsePieceFile(path, tables);
    char message[1200];
    switch (fault.kind) {
        case PieceFileError::none:
            break;
        case PieceFileError::cannotOpen: {
            // A file of another type under the name: a line between the two says what it is.
            const std::string reason = fault.opening.fault == FileReading::notRegular
                                           ? "It " + readingProblem(fault.opening) + "\n"
                                           : "";
            std::snprintf(message, sizeof message, "Cannot open piece file %s\n%s", path,
                          reason.c_str());
            failWith(message, "Please read the instructions how to create this file\n");
        }
        case PieceFileError::earlyEnd:
            std::snprintf(message, sizeof message, "Unexpected end of file in piece file %s\n",
                          path);
            failWith(message, "Piece file must have 256 pieces\n");
        case PieceFileError::badLine:
            std::snprintf(message, sizeof message, "Incorrect piece at line %d of piece file %s\n",
                          fault.line, path);
            failWith(message, "One of the numbers on this line is incorrect or missing\n");
        case PieceFileError::badColour:
            std::snprintf(message, sizeof message,
                          "Error on line %d of %s: colour number %s is incorrect\n", fault.line,
                          path, fault.colour.c_str());
            failWith(message, "Only colours 0 (which must be border) - 22 are supported\n");
    }
    puzzle.pieceCodes = tables.codes;
    puzzle.borderCount = tables.borderCount;
}
