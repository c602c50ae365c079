// tessaly-gen: writes a practice piece file with a planted perfect solution.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/option_table.h"
#include "base/output_files.h"
#include "base/program_info.h"
#include "tools/gen/puzzle_generator.h"

namespace {

constexpr int badArguments = 2;

constexpr const char* usageLine =
    "usage: tessaly-gen [--seed N] [--colours K] [--rim-colours R] [--solution BOARDFILE] "
    "OUTPUT\n";
constexpr std::array<OptionSpec, 4> optionTable{{
    {"--seed", "N", "seed of the random engine (default 1)"},
    {"--colours", "K", "interior colours, 1 to 17 (default 17)"},
    {"--rim-colours", "R", "colours between rim pieces, 1 to 5 (default 5)"},
    {"--solution", "BOARDFILE", "also write the planted solution as a board file"},
}};

[[noreturn]] void failWith(const std::string& message) {
    std::fprintf(stderr, "tessaly-gen: %s\n%s", message.c_str(), usageLine);
    std::exit(badArguments);
}

std::int64_t numberOption(std::string_view name, const std::string& value, std::int64_t min,
                          std::int64_t max) {
    const auto number = numberIn(value, min, max);
    if (!number) {
        failWith("invalid value '" + value + "' for " + std::string(name) + " (expected a number " +
                 std::to_string(min) + ".." + std::to_string(max) + ")");
    }
    return *number;
}

void writeFile(const std::string& path, const std::string& text) {
    const std::string problem = writeOutputFile(path, text, {});
    if (!problem.empty()) failWith(problem);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string help = optionsHelp(usageLine, optionTable);
    answerHelpOrVersion(argc, argv, "tessaly-gen", help.c_str());
    std::string fault;
    const std::optional<GivenOptions> given =
        parseOptions(std::vector<std::string>(argv + 1, argv + argc), optionTable, fault);
    if (!given) failWith(fault);
    GeneratorOptions options;
    for (const auto& [name, value] : given->options) {
        if (name == "--seed")
            options.seed = static_cast<std::uint32_t>(
                numberOption(name, value, 0, std::numeric_limits<std::uint32_t>::max()));
        else if (name == "--colours")
            options.colours = static_cast<int>(numberOption(name, value, 1, maxColours));
        else if (name == "--rim-colours")
            options.rimColours = static_cast<int>(numberOption(name, value, 1, maxRimColours));
    }
    const std::optional<std::string> solution = given->value("--solution");
    if (given->operands.size() > 1) failWith("more than one output file given");
    if (given->operands.empty()) failWith("no output file given");
    const std::string& output = given->operands[0];

    const PlantedPuzzle puzzle = generatePuzzle(options);
    writeFile(output, pieceFileText(puzzle));
    if (solution) writeFile(*solution, solutionBoardText(puzzle));
    return 0;
}
