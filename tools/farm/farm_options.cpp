#include "tools/farm/farm_options.h"

#include <array>

namespace {

constexpr std::array<const char*, 1> farmForms{
    "[-j N] [-d DIR] [--status SECONDS] [--restarts N] [--solver PROGRAM] [--html FILE] "
    "[BOARDFILE]"};

constexpr std::array<OptionRow, 6> farmTable{{
    numberOption("-j", "N", 1, 4096, "instances to run (default: one per online processor)"),
    pathOption("-d", "DIR", "instance i keeps its files in DIR/i (default: farm)"),
    numberOption("--status", "SECONDS", 1, 3600,
                 "how often the status line is refreshed (default: 3)"),
    numberOption("--restarts", "N", 0, 1000,
                 "how often an instance that ends on its own is restarted (default: 3)"),
    pathOption("--solver", "PROGRAM", "the solver (default: tessaly beside tessaly-farm)"),
    pathOption("--html", "FILE", "rewrite the statistics page FILE at every refresh"),
}};

}  // namespace

const CommandLine farmCommandLine{"tessaly-farm", farmForms, nullptr, farmTable};

std::optional<FarmOptions> parseFarmOptions(const std::vector<std::string>& arguments,
                                            std::string& error) {
    const std::optional<GivenOptions> given = parseOptions(arguments, farmTable, error);
    if (!given) return std::nullopt;
    FarmOptions options;
    options.instances = static_cast<int>(given->number("-j").value_or(options.instances));
    options.statusSeconds =
        static_cast<int>(given->number("--status").value_or(options.statusSeconds));
    options.restartLimit =
        static_cast<int>(given->number("--restarts").value_or(options.restartLimit));
    options.directory = given->text("-d").value_or(options.directory);
    options.solver = given->text("--solver").value_or(options.solver);
    options.pagePath = given->text("--html").value_or(options.pagePath);
    if (given->operands.size() > 1) {
        error = "only one board file can be given";
        return std::nullopt;
    }
    if (!given->operands.empty()) options.boardFile = given->operands[0];
    return options;
}
