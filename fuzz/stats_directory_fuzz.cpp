// Fuzz target: what tessaly-stats reads. The input's first line is a file name, judged as a
// record board name (one taken must be what the solver names that board); the rest is a directory's
// total.txt, read, added up with itself in several directories and shown as tables, and summed into
// the farm's status line.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "results/record_board_names.h"
#include "tools/common/directory_reading.h"
#include "tools/common/record_board_list.h"
#include "tools/common/statistics_tables.h"
#include "tools/farm/farm_status.h"

namespace {

std::string directory;

void removeDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (std::filesystem::temp_directory_path() / "stats-fuzz-XXXXXX").string();
    require(mkdtemp(pattern.data()) != nullptr, "mkdtemp failed");
    directory = pattern;
    std::atexit(removeDirectory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = std::min(input.find('\n'), input.size());
    const std::optional<RecordBoard> name = recordBoardName(input.substr(0, lineEnd));
    // A name taken for a record board is exactly the name the solver gives that board.
    if (name)
        require(recordBoardFileName(name->score, name->serial) == input.substr(0, lineEnd),
                "a record board name the solver does not make");

    const std::string_view total = input.substr(std::min(lineEnd + 1, input.size()));
    std::FILE* file = std::fopen((directory + "/total.txt").c_str(), "w");
    require(file != nullptr, "total.txt cannot be written");
    std::fwrite(total.data(), 1, total.size(), file);
    std::fclose(file);

    DirectoryStatistics statistics;
    if (readDirectoryStatistics(directory, statistics) != DirectoryReading::read) return 0;
    const std::vector<DirectoryStatistics> four(4, statistics);
    statisticsTables(four, NodeFigures::billions);
    statisticsTables(four, NodeFigures::exact);
    const FarmTotals totals = readFarmTotals({directory, directory, directory}, "");
    farmStatusLine(3725, 3, 3, totals, 1e9);
    return 0;
}
