// tessaly-gen: writes a practice piece file with a planted perfect solution.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "base/option_table.h"
#include "base/output_files.h"
#include "base/program_info.h"
#include "tools/gen/puzzle_generator.h"

namespace {

constexpr std::array<const char*, 1> forms{
    "[--seed N] [--colours K] [--rim-colours R] [--solution BOARDFILE] OUTPUT"};
constexpr std::array<OptionRow, 4> optionTable{{
    seedOption("--seed", "seed of the random engine (default 1)"),
    numberOption("--colours", "K", 1, maxColours, "interior colours, 1 to 17 (default 17)"),
    numberOption("--rim-colours", "R", 1, maxRimColours,
                 "colours between rim pieces, 1 to 5 (default 5)"),
    pathOption("--solution", "BOARDFILE", "also write the planted solution as a board file"),
}};
constexpr CommandLine commandLine{"tessaly-gen", forms, nullptr, optionTable};

void writeFile(const std::string& path, const std::string& text) {
    const std::string problem = writeOutputFile(path, text, {});
    if (!problem.empty()) runFault(commandLine.program, problem);
}

}  // namespace

int main(int argc, char** argv) {
    const GivenOptions given = readCommandLine(commandLine, argc, argv);
    GeneratorOptions options;
    options.seed = static_cast<std::uint32_t>(given.number("--seed").value_or(options.seed));
    options.colours = static_cast<int>(given.number("--colours").value_or(options.colours));
    options.rimColours =
        static_cast<int>(given.number("--rim-colours").value_or(options.rimColours));
    const std::optional<std::string> solution = given.text("--solution");
    if (given.operands.size() > 1) usageFault(commandLine, "more than one output file given");
    if (given.operands.empty()) usageFault(commandLine, "no output file given");
    const std::string& output = given.operands[0];

    const PlantedPuzzle puzzle = generatePuzzle(options);
    writeFile(output, pieceFileText(puzzle));
    if (solution) writeFile(*solution, solutionBoardText(puzzle));
    return 0;
}
