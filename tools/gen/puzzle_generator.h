// Practice puzzles: a random 16x16 board with a planted perfect solution, cut into a piece file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// What to generate; the same options give the same puzzle on every standard library.
struct GeneratorOptions {
    // Seed of the random engine.
    std::uint32_t seed = 1;
    // Interior colours used: the first ones of the interior palette, 1..17.
    int colours = 17;
    // Colours of the joints between two rim squares: the first of the rim palette, 1..5.
    int rimColours = 5;
};

// A generated puzzle together with the board it was cut from.
struct PlantedPuzzle {
    // Options it was generated with.
    GeneratorOptions options;
    // Per piece: right, bottom, left, top (file colours).
    std::array<std::array<int, 4>, 256> fileLines;
    // Piece number on each board slot.
    std::array<int, 256> slotPiece;
    // Its rotation there: rotate(slotRotation[s], rotation-0 code) is the planted orientation.
    std::array<int, 256> slotRotation;
};

// Sizes of the interior and rim palettes, the largest allowed colour counts.
inline constexpr int maxColours = 17;
inline constexpr int maxRimColours = 5;

// Builds the planted board and its pieces; throws std::invalid_argument on out-of-range options.
PlantedPuzzle generatePuzzle(const GeneratorOptions& options);
// The piece file: 256 lines "R B L T".
std::string pieceFileText(const PlantedPuzzle& puzzle);
// The planted solution as a board file: a comment line, then slot rows 15 down to 0.
std::string solutionBoardText(const PlantedPuzzle& puzzle);
