// tessaly-gen: writes a practice piece file with a planted perfect solution.
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/program_info.h"
#include "base/whole_files.h"
#include "gen/puzzle_generator.h"

namespace {

constexpr int badArguments = 2;

constexpr const char* usageLine =
    "usage: tessaly-gen [--seed N] [--colours K] [--rim-colours R] [--solution BOARDFILE] "
    "OUTPUT\n";

[[noreturn]] void failWith(const std::string& message) {
    std::fprintf(stderr, "tessaly-gen: %s\n%s", message.c_str(), usageLine);
    std::exit(badArguments);
}

// A whole decimal number in min..max, or nothing.
std::optional<std::uint64_t> parseNumber(std::string_view text, std::uint64_t min,
                                         std::uint64_t max) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || value < min || value > max)
        return std::nullopt;
    return value;
}

std::uint64_t numberOption(std::string_view name, const char* value, std::uint64_t min,
                           std::uint64_t max) {
    const auto number = parseNumber(value, min, max);
    if (!number) {
        failWith("invalid value '" + std::string(value) + "' for " + std::string(name) +
                 " (expected a number " + std::to_string(min) + ".." + std::to_string(max) + ")");
    }
    return *number;
}

void writeFile(const std::string& path, const std::string& text) {
    const int error = writeWholeFile(path.c_str(), text, Existing::replace, false);
    if (error != 0) failWith("cannot write " + path + ": " + std::strerror(error));
}

}  // namespace

int main(int argc, char** argv) {
    answerHelpOrVersion(argc, argv, "tessaly-gen", usageLine);
    GeneratorOptions options;
    std::optional<std::string> output;
    std::optional<std::string> solution;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(usageLine, stdout);
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            if (arg != "--seed" && arg != "--colours" && arg != "--rim-colours" &&
                arg != "--solution") {
                failWith("unknown option " + std::string(arg));
            }
            if (i + 1 >= argc) failWith("missing value after " + std::string(arg));
            const char* value = argv[++i];
            if (arg == "--seed") {
                options.seed = static_cast<std::uint32_t>(
                    numberOption(arg, value, 0, std::numeric_limits<std::uint32_t>::max()));
            } else if (arg == "--colours") {
                options.colours = static_cast<int>(numberOption(arg, value, 1, maxColours));
            } else if (arg == "--rim-colours") {
                options.rimColours = static_cast<int>(numberOption(arg, value, 1, maxRimColours));
            } else {
                solution = value;
            }
            continue;
        }
        if (output) failWith("more than one output file given");
        output = std::string(arg);
    }
    if (!output) failWith("no output file given");

    const PlantedPuzzle puzzle = generatePuzzle(options);
    writeFile(*output, pieceFileText(puzzle));
    if (solution) writeFile(*solution, solutionBoardText(puzzle));
    return 0;
}
