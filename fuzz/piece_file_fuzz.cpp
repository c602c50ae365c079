// Fuzz target: the piece file k7pieces.txt, read by the rules the solver and tessaly-show share.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "puzzle/piece_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = memoryFile(data, size);
    PieceTables tables;
    const PieceFileError fault = parsePieceFile(path.c_str(), tables);
    require(fault.kind != PieceFileError::cannotOpen, "the input file could not be opened");
    if (fault.kind == PieceFileError::badColour)
        require(!fault.colour.empty() && fault.line >= 1 && fault.line <= pieceCount,
                "a bad colour without its text or line");
    if (fault.kind != PieceFileError::none) return 0;
    for (int piece = 0; piece < pieceCount; ++piece) {
        const PieceCode code = tables.codes[piece];
        require(pieceNumberOf(code) == piece && rotationOf(code) == 0 && !isLastInList(code),
                "a piece code with the wrong number, rotation or flag");
        for (int colour : {bottomOf(code), rightOf(code), topOf(code), leftOf(code)})
            require(colour < colourCount, "a colour outside the program colours");
        require(tables.borderCount[piece] >= 0 && tables.borderCount[piece] <= 4,
                "a border count outside 0 to 4");
    }
    return 0;
}
