// Fuzz target: the statistics file total.txt. Whatever it holds, reading, the report and the
// saving additions stay defined, and writing what was read is a fixed point:
// write(read(write(x))) equals write(x).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/clocks.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "fuzz_support.h"
#include "results/full_boards.h"
#include "results/results_state.h"
#include "results/statistics_records.h"
#include "run/resets.h"
#include "run/startup.h"
#include "search/search_state.h"
#include "stats/statistics_file.h"
#include "stats/statistics_report.h"

namespace {

// The statistics file image of `record` and `check`, as the solver writes it.
std::string imageOf(const StatsRecord& record, std::int32_t check) {
    results.statistics.grandTotal = record;
    results.statistics.grandTotal.check = check;
    char* text = nullptr;
    std::size_t length = 0;
    std::FILE* stream = open_memstream(&text, &length);
    require(stream != nullptr, "open_memstream failed");
    writeStatistics(stream);
    std::string image(text, length);
    std::free(text);
    return image;
}

StatsRecord readImage(const std::string& image, std::int32_t& check) {
    StatsRecord record{};
    const std::string path =
        memoryFile(reinterpret_cast<const std::uint8_t*>(image.data()), image.size());
    require(readStatisticsFile(path.c_str(), record, check) == StatisticsReading::read,
            "a written image is not read back");
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quietConsole();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    resetProgram();
    StatsRecord record{};
    std::int32_t check = 0;
    const std::string path = memoryFile(data, size);
    if (readStatisticsFile(path.c_str(), record, check) != StatisticsReading::read) return 0;
    require(record.best >= 0 && record.best <= mismatchSlots, "best outside 0 to 20");
    require(record.best == lowestBest(record), "best is not the lowest count with boards");

    const std::string first = imageOf(record, check);
    std::int32_t checkAgain = 0;
    const StatsRecord again = readImage(first, checkAgain);
    require(imageOf(again, checkAgain) == first, "write(read(write(x))) differs from write(x)");

    // A start from this file, one report, a save's additions with boards of every count and
    // nodes pending, and the next report.
    results.statistics.grandTotal = record;
    results.statistics.grandTotal.check = check;
    statisticsFile.secsAtProgramStart = results.statistics.grandTotal.secs;
    program.settings.programStartMs = monotonicMs() - 86'400'000;
    printStatisticsReport();
    search.nodeCount = 123'456'789'012;
    runStatistics.fullBoardTally.fill(1);
    updateStatistics();
    printStatisticsReport();
    return 0;
}
