// tessaly-show: checks a record board or a board file against its piece file, reports its
// score and mismatched edges, and writes it as a board file the solver loads (--grid) or as a
// picture (--svg). Exit status 0 for a valid board, 1 for a board that breaks a rule, 2 when a
// file cannot be read or written or the command line is wrong.
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
constexpr int badInput = 2;

constexpr const char* usageLine =
    "usage: tessaly-show [--grid FILE] [--svg FILE] PIECEFILE BOARD\n";
constexpr std::array<OptionSpec, 2> optionTable{{
    {"--grid", "FILE", "also write the board as a board file the solver loads"},
    {"--svg", "FILE", "also draw the board, its mismatched edges marked"},
}};

int fail(const std::string& message) {
    std::fprintf(stderr, "tessaly-show: %s\n", message.c_str());
    return badInput;
}

int usageFault(const std::string& message) {
    std::fprintf(stderr, "tessaly-show: %s\n%s", message.c_str(), usageLine);
    return badInput;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string help = optionsHelp(usageLine, optionTable);
    answerHelpOrVersion(argc, argv, "tessaly-show", help.c_str());
    std::string fault;
    const std::optional<GivenOptions> given =
        parseOptions(std::vector<std::string>(argv + 1, argv + argc), optionTable, fault);
    if (!given) return usageFault(fault);
    const std::optional<std::string> gridPath = given->value("--grid");
    const std::optional<std::string> svgPath = given->value("--svg");
    const std::vector<std::string>& files = given->operands;
    if (files.size() != 2) return usageFault("give a piece file and a board");
    const std::string& piecePath = files[0];
    const std::string& boardPath = files[1];

    const Reading<PieceTables> pieces = readPieces(piecePath);
    if (!pieces.value) return fail(joined("piece file ", piecePath, ": ", pieces.problem));
    const Reading<ReadBoard> board = readBoardFile(boardPath, *pieces.value);
    if (!board.value) return fail(joined("board ", boardPath, ": ", board.problem));

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
        if (!problem.empty()) return fail(problem);
    }
    if (svgPath) {
        const std::string problem =
            writeOutputFile(*svgPath, svgText(name, *board.value, check), inputs);
        if (!problem.empty()) return fail(problem);
    }
    if (!standardOutputWritten("tessaly-show")) return badInput;
    return check.ruleBreaks.empty() ? validBoard : ruleBroken;
}
