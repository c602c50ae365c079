#include "tools/gen/puzzle_generator.h"

#include <cstdio>
#include <random>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

#include "base/formatted_text.h"
#include "puzzle/piece_code.h"
#include "results/grid_writing.h"
#include "search/board_geometry.h"

namespace {

// File colours of the joints between two neighbouring rim squares, in order of use.
constexpr std::array<int, maxRimColours> rimPalette{1, 5, 9, 13, 17};
// File colours of every other joint, in order of use.
constexpr std::array<int, maxColours> interiorPalette{2,  3,  4,  6,  7,  8,  10, 11, 12,
                                                      14, 15, 16, 18, 19, 20, 21, 22};
// File colour of every edge that faces the outline of the board.
constexpr int fileBorder = 0;

// Sides of a piece in file order, clockwise from the right.
enum Side { sideRight = 0, sideBottom = 1, sideLeft = 2, sideTop = 3 };

// Random numbers from std::mt19937, whose output sequence the standard fixes exactly. The
// reduction to a range and the shuffle are our own, because the standard distributions and
// std::shuffle may draw differently on different libraries.
class Random {
public:
    explicit Random(std::uint32_t seed) : engine_(seed) {}

    // A uniform integer in 0..n-1 (n >= 1): raw outputs at or above the largest multiple
    // of n are rejected, so every remainder is equally likely.
    int below(int n) {
        const std::uint64_t range = static_cast<std::uint64_t>(n);
        const std::uint64_t limit = (std::uint64_t{1} << 32) / range * range;
        std::uint64_t x;
        do {
            x = engine_();
        } while (x >= limit);
        return static_cast<int>(x % range);
    }

    // Fisher-Yates from the back.
    template <typename T>
    void shuffle(std::span<T> items) {
        for (std::size_t i = items.size(); i > 1; --i) {
            const auto j = static_cast<std::size_t>(below(static_cast<int>(i)));
            std::swap(items[i - 1], items[j]);
        }
    }

private:
    std::mt19937 engine_;
};

bool isRim(Square sq) {
    return onRim(sq.row) || onRim(sq.col);
}

// One inner edge of the board: the square above or to the left, and whether its neighbour
// lies to the right (otherwise below).
struct Joint {
    Square first;
    bool across;
};

// Colours for `count` joints: the palette cycled until there are enough, then shuffled, so
// that every colour is used count/size times give or take one.
std::vector<int> balancedColours(Random& random, std::span<const int> palette, std::size_t count) {
    std::vector<int> colours(count);
    for (std::size_t i = 0; i < count; ++i)
        colours[i] = palette[i % palette.size()];
    random.shuffle(std::span<int>(colours));
    return colours;
}

// The sides of every square of the planted board, in file order.
using PlantedSides = std::array<std::array<std::array<int, 4>, boardSize>, boardSize>;
// The piece number on every square.
using SquarePieces = std::array<std::array<int, boardSize>, boardSize>;

// The inner edges of the board, row by row: those between two rim squares in `rim`, the others
// in `inner`.
void collectJoints(std::vector<Joint>& rim, std::vector<Joint>& inner) {
    for (int r = 0; r < boardSize; ++r)
        for (int c = 0; c < boardSize; ++c) {
            const Square sq{r, c};
            if (c + 1 < boardSize)
                (isRim(sq) && isRim({r, c + 1}) ? rim : inner).push_back({sq, true});
            if (r + 1 < boardSize)
                (isRim(sq) && isRim({r + 1, c}) ? rim : inner).push_back({sq, false});
        }
}

// Gives `joints` balanced colours of `palette`, both sides of each.
void paint(PlantedSides& planted, Random& random, const std::vector<Joint>& joints,
           std::span<const int> palette) {
    const std::vector<int> colours = balancedColours(random, palette, joints.size());
    for (std::size_t i = 0; i < joints.size(); ++i) {
        const Square a = joints[i].first;
        if (joints[i].across) {
            planted[a.row][a.col][sideRight] = colours[i];
            planted[a.row][a.col + 1][sideLeft] = colours[i];
        } else {
            planted[a.row][a.col][sideBottom] = colours[i];
            planted[a.row + 1][a.col][sideTop] = colours[i];
        }
    }
}

// The planted board: every side that faces the outline border, the joints between two rim
// squares in the rim colours, every other joint in the interior colours.
PlantedSides plantedSides(Random& random, const GeneratorOptions& options) {
    PlantedSides planted{};
    for (auto& row : planted)
        for (auto& sides : row)
            sides.fill(fileBorder);
    std::vector<Joint> rimJoints;
    std::vector<Joint> innerJoints;
    collectJoints(rimJoints, innerJoints);
    paint(planted, random, rimJoints,
          std::span(rimPalette).first(static_cast<std::size_t>(options.rimColours)));
    paint(planted, random, innerJoints,
          std::span(interiorPalette).first(static_cast<std::size_t>(options.colours)));
    return planted;
}

// Piece numbers: corners first, then edges, then interior squares, each group in random order;
// the hint square always receives the hint piece.
SquarePieces numberedSquares(Random& random) {
    std::array<std::vector<Square>, 3> groups;  // by number of border sides
    for (int r = 0; r < boardSize; ++r)
        for (int c = 0; c < boardSize; ++c) {
            const Square sq{r, c};
            if (sq == hintSquare) continue;
            groups[onRim(r) + onRim(c)].push_back(sq);
        }
    SquarePieces squarePiece{};
    squarePiece[hintSquare.row][hintSquare.col] = hintPiece;
    int nextPiece = 0;
    for (int kind = 2; kind >= 0; --kind) {
        random.shuffle(std::span<Square>(groups[kind]));
        for (const Square sq : groups[kind]) {
            if (nextPiece == hintPiece) ++nextPiece;
            squarePiece[sq.row][sq.col] = nextPiece++;
        }
    }
    return squarePiece;
}

// Cuts the planted board into its pieces. Each piece is written turned back by a random
// rotation r, so that turning its file line r quarter turns clockwise restores the planted
// sides. A clockwise quarter turn moves every side one place on in file order (right to
// bottom, bottom to left, ...).
PlantedPuzzle cutIntoPieces(Random& random, const PlantedSides& planted,
                            const SquarePieces& squarePiece, const GeneratorOptions& options) {
    PlantedPuzzle puzzle{};
    puzzle.options = options;
    for (int s = 0; s < 256; ++s)
        puzzle.slotPiece[s] = squarePiece[slotSquare[s].row][slotSquare[s].col];
    std::array<int, 256> pieceSlot{};
    for (int s = 0; s < 256; ++s)
        pieceSlot[puzzle.slotPiece[s]] = s;
    for (int piece = 0; piece < 256; ++piece) {
        const int s = pieceSlot[piece];
        const int r = piece == hintPiece ? 2 : random.below(4);
        const auto& sides = planted[slotSquare[s].row][slotSquare[s].col];
        for (int side = 0; side < 4; ++side)
            puzzle.fileLines[piece][side] = sides[(side + r) % 4];
        puzzle.slotRotation[s] = r;
    }
    return puzzle;
}

}  // namespace

PlantedPuzzle generatePuzzle(const GeneratorOptions& options) {
    if (options.colours < 1 || options.colours > maxColours)
        throw std::invalid_argument("colours must be 1..17");
    if (options.rimColours < 1 || options.rimColours > maxRimColours)
        throw std::invalid_argument("rim colours must be 1..5");
    // The draws of the random engine in this order: the joints' colours, the pieces' numbers,
    // their rotations. Every seed's puzzle depends on it.
    Random random(options.seed);
    const PlantedSides planted = plantedSides(random, options);
    const SquarePieces squarePiece = numberedSquares(random);
    return cutIntoPieces(random, planted, squarePiece, options);
}

std::string pieceFileText(const PlantedPuzzle& puzzle) {
    std::string text;
    char line[32];
    for (const auto& f : puzzle.fileLines) {
        std::snprintf(line, sizeof line, "%d %d %d %d\n", f[0], f[1], f[2], f[3]);
        text += line;
    }
    return text;
}

std::string solutionBoardText(const PlantedPuzzle& puzzle) {
    // The comment line holds no '/', so readers that look for cells pass over it.
    std::string text = printed("# planted solution, seed %lu, colours %d, rim colours %d\n",
                               static_cast<unsigned long>(puzzle.options.seed),
                               puzzle.options.colours, puzzle.options.rimColours);
    // The board lines as the solver writes a board file: each square's piece in its rotation.
    std::array<PieceCode, 256> slots{};
    for (int s = 0; s < 256; ++s)
        slots[s] = rotate(puzzle.slotRotation[s], makePieceCode(puzzle.slotPiece[s], 0, 0, 0, 0));
    return text + gridBoardLines(slots);
}
