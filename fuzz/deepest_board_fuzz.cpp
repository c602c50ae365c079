// Fuzz target: deepest.txt read at start-up as the solver reads it, against the pieces of a fixed
// generated puzzle, in a directory of its own. A file that is taken stays in place and gives a
// board of these pieces (no piece twice, the hint piece in place, as deep and as mismatched as
// its squares say) that the solver writes back as a file read to the same board; any other is
// moved aside whole, so nothing is lost.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "base/file_reading.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "fuzz_support.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "results/deepest_board.h"
#include "results/results_state.h"
#include "run/resets.h"
#include "search/board_geometry.h"
#include "tools/gen/puzzle_generator.h"

namespace {

namespace fs = std::filesystem;

std::string directory;

void removeDirectory() {
    std::error_code ignored;
    fs::remove_all(directory, ignored);
}

// A fresh start in the directory: every record as at start-up, the directory named.
void freshStart() {
    resetProgram();
    std::snprintf(program.settings.workingDirectory, sizeof program.settings.workingDirectory, "%s",
                  directory.c_str());
}

void writeDeepestFile(std::string_view text) {
    std::FILE* file = std::fopen(deepestBoardFileName, "w");
    require(file != nullptr, "deepest.txt cannot be written");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

// The content of `path`, which holds at most `limit` bytes.
std::string fileText(const char* path, std::size_t limit) {
    std::string text;
    require(readRegularFile(path, limit, text).fault == FileReading::none,
            "a file of the directory cannot be read back");
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quietConsole();
    resetProgram();
    const std::string pieces = pieceFileText(generatePuzzle({7, 17, 5}));
    readPieceFile(
        memoryFile(reinterpret_cast<const std::uint8_t*>(pieces.data()), pieces.size()).c_str());
    std::string pattern = (fs::temp_directory_path() / "deepest-fuzz-XXXXXX").string();
    require(mkdtemp(pattern.data()) != nullptr, "mkdtemp failed");
    directory = pattern;
    require(chdir(directory.c_str()) == 0, "chdir failed");
    std::atexit(removeDirectory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    freshStart();
    writeDeepestFile(input);
    readDeepestBoard();
    require(results.deepestBoard.keeping,
            "a file that can be read is neither taken nor moved aside");

    if (!fs::exists(deepestBoardFileName)) {
        // Moved aside whole: one file beside it, with the input's content.
        int movedAside = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
            require(entry.path().filename().string().starts_with("deepest.txt.damaged-"),
                    "a file other than the one moved aside");
            require(fileText(entry.path().c_str(), size) == input,
                    "the file moved aside is changed");
            fs::remove(entry.path());
            ++movedAside;
        }
        require(movedAside == 1, "not one file moved aside");
        return 0;
    }
    require(fileText(deepestBoardFileName, size) == input, "a file taken is changed");
    const DeepestBoardState taken = results.deepestBoard;
    const BoardDepth found = depthOf(taken.board);
    require(found.depth == taken.depth && found.mismatches == taken.mismatches,
            "the depth or mismatches kept are not those of the board");
    require(taken.board[hintSlot] == rotate(2, puzzle.pieceCodes[hintPiece]),
            "the hint piece is not in place");
    std::set<int> placed;
    for (const PieceCode code : taken.board)
        require(code == emptyCode || placed.insert(pieceNumberOf(code)).second,
                "a piece stands twice");

    // The file the solver writes of it is taken back as the same board.
    writeDeepestFile(deepestBoardText(taken));
    freshStart();
    readDeepestBoard();
    require(fs::exists(deepestBoardFileName) && results.deepestBoard.board == taken.board &&
                results.deepestBoard.depth == taken.depth,
            "the board written is not read back as itself");
    fs::remove(deepestBoardFileName);
    return 0;
}
