#include "puzzle/piece_file.h"

#include <cstdio>

#include "run/console.h"
#include "run/fatal_exit.h"

std::array<PieceCode, pieceCount> pieceCodes{};
std::array<std::int32_t, pieceCount> borderCount{};

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

[[noreturn]] void failWith(const char* first, const char* second) {
    printErr("%s", first);
    printErr("%s", second);
    fatalExit();
}

}  // namespace

PieceFileError parsePieceFile(const char* path, PieceTables& tables) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return {PieceFileError::cannotOpen, 0, 0};
    PieceFileError fault;
    char line[lineBufferSize];
    for (int piece = 0; piece < pieceCount; ++piece) {
        const int lineNumber = piece + 1;
        if (std::fgets(line, lineBufferSize, file) == nullptr) {
            fault = {PieceFileError::earlyEnd, lineNumber, 0};
            break;
        }
        int colours[4];
        if (std::sscanf(line, "%d %d %d %d", &colours[0], &colours[1], &colours[2], &colours[3]) !=
            4) {
            fault = {PieceFileError::badLine, lineNumber, 0};
            break;
        }
        int borders = 0;
        for (int colour : colours) {
            if (colour < 0 || colour > 22) {
                fault = {PieceFileError::badColour, lineNumber, colour};
                break;
            }
            if (colour == 0) ++borders;
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
        case PieceFileError::cannotOpen:
            std::snprintf(message, sizeof message, "Cannot open piece file %s\n", path);
            failWith(message, "Please read the instructions how to create this file\n");
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
                          "Error on line %d of %s: colour number %d is incorrect\n", fault.line,
                          path, fault.colour);
            failWith(message, "Only colours 0 (which must be border) - 22 are supported\n");
    }
    pieceCodes = tables.codes;
    borderCount = tables.borderCount;
}
