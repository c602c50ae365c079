// tessaly-show: checks a record board or a board file against its piece file, reports its
// score and mismatched edges, and writes it as a board file the solver loads (--grid) or as a
// picture (--svg). Exit status 0 for a valid board, 1 for a board that breaks a rule or a file
// that cannot be read or written, 2 for a wrong command line.
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/option_table.h"
#include "base/output_files.h"
#include "base/program_info.h"
#include "results/grid_writing.h"
#include "tools/common/board_check.h"
#include "tools/common/board_reading.h"
#include "tools/common/svg_drawing.h"
#include "tools/common/text_joining.h"

namespace {

constexpr int validBoard = 0;
constexpr int ruleBroken = 1;

constexpr std::array<const char*, 1> forms{"[--grid FILE] [--svg FILE] PIECEFILE BOARD"};
constexpr std::array<OptionRow, 2> optionTable{{
    pathOption("--grid", "FILE", "also write the board as a board file the solver loads"),
    pathOption("--svg", "FILE", "also draw the board, its mismatched edges marked"),
}};
constexpr CommandLine commandLine{"tessaly-show", forms, nullptr, optionTable};

[[noreturn]] void fail(const std::string& message) {
    runFault(commandLine.program, message);
}

}  // namespace

int main(int argc, char** argv) {
    const GivenOptions given = readCommandLine(commandLine, argc, argv);
    const std::optional<std::string> gridPath = given.text("--grid");
    const std::optional<std::string> svgPath = given.text("--svg");
    const std::vector<std::string>& files = given.operands;
    if (files.size() != 2) usageFault(commandLine, "give a piece file and a board");
    const std::string& piecePath = files[0];
    const std::string& boardPath = files[1];

    const Reading<PieceTables> pieces = readPieces(piecePath);
    if (!pieces.value) fail(joined("piece file ", piecePath, ": ", pieces.problem));
    const Reading<ReadBoard> board = readBoardFile(boardPath, *pieces.value);
    if (!board.value) fail(joined("board ", boardPath, ": ", board.problem));

    const BoardCheck check = checkBoard(*board.value, *pieces.value, boardPath);
    std::fputs(reportText(boardPath, *board.value, check).c_str(), stdout);

    const std::string name = std::filesystem::path(boardPath).filename().string();
    // An output never takes the place of what was read.
    const std::vector<std::string> inputs{piecePath, boardPath};
    if (gridPath) {
        const std::string comment =
            check.full()
                ? joined("board from ", name, ", score ", check.score())
                : joined("board from ", name, ", ", check.filled, " of 256 squares filled");
        const std::string problem =
            writeOutputFile(*gridPath, gridText(board.value->slots, comment), inputs);
        if (!problem.empty()) fail(problem);
    }
    if (svgPath) {
        const std::string problem =
            writeOutputFile(*svgPath, svgText(name, *board.value, check), inputs);
        if (!problem.empty()) fail(problem);
    }
    if (!standardOutputWritten("tessaly-show")) return runFaultStatus;
    return check.ruleBreaks.empty() ? validBoard : ruleBroken;
}
