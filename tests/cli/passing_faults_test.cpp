// The built solver under faults injected into its system calls (tests/shim/fault_shim.cpp):
// a passing failure to open its statistics, a wall clock set back, and the leftovers of a kill.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "results/board_files.h"
#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

constexpr const char* savedTotals = "K7 stats\nnodes=1000000000000\nsecs=100000\n15=7\n";

// The solver with the fault shim preloaded and `faults` (VARIABLE=VALUE ...) in its environment.
std::string solverWith(const std::string& faults) {
    return "env ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD=" TESSALY_FAULT_SHIM " " + faults +
           " " TESSALY_BIN;
}

long long valueIn(const std::string& text, const std::string& key) {
    const std::size_t at = text.find("\n" + key + "=");
    return at == std::string::npos ? -1 : std::stoll(text.substr(at + key.size() + 2));
}

class PassingFaults : public testing::Test {
protected:
    void SetUp() override {
        writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle({31, 17, 5})));
        writeFile(dir.file("total.txt"), savedTotals);
    }
    std::size_t filesHere() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path),
                                                      std::filesystem::directory_iterator{}));
    }
    TempDir dir;
};

struct OpenFaultCase {
    const char* name;
    int error;
};
void PrintTo(const OpenFaultCase& c, std::ostream* os) {
    *os << c.name;
}

class PassingOpenFaults : public PassingFaults,
                          public testing::WithParamInterface<OpenFaultCase> {};

TEST_P(PassingOpenFaults, OnceAreReadAgainAndNeverLowerTheTotals) {
    const std::string fault = "TESSALY_FAULT_OPEN=total.txt:" + std::to_string(GetParam().error);
    // The first report comes after the statistics were read; the stop then saves them.
    const ProgramResult once =
        runUntil({"/bin/sh", "-c", "exec " + solverWith(fault + ":1")}, dir.path, "Grade");
    EXPECT_EQ(once.status, 0) << "searched until stopped; " << once.err;
    EXPECT_EQ(once.err, "") << "read on the second try";
    EXPECT_GE(valueIn(readFile(dir.file("total.txt")), "nodes"), 1'000'000'000'000);
    EXPECT_GE(valueIn(readFile(dir.file("total.bak")), "nodes"), 1'000'000'000'000);
}

TEST_P(PassingOpenFaults, ForGoodEndTheStartWithStatusOneTouchingNothing) {
    const std::string fault = "TESSALY_FAULT_OPEN=total.txt:" + std::to_string(GetParam().error);
    const ProgramResult always = runProgram(solverWith(fault + ":0"), dir.path);
    EXPECT_EQ(always.status, 1);
    EXPECT_EQ(always.err, "total.txt cannot be read now (" +
                              std::string(std::strerror(GetParam().error)) +
                              "); nothing is changed, try again later\n");
    EXPECT_EQ(readFile(dir.file("total.txt")), savedTotals);
    EXPECT_EQ(filesHere(), 3u) << "k7pieces.txt, total.txt and the lock, nothing else";
}

INSTANTIATE_TEST_SUITE_P(Solver, PassingOpenFaults,
                         testing::Values(OpenFaultCase{"TooManyOpenFiles", EMFILE},
                                         OpenFaultCase{"FileTableFull", ENFILE},
                                         OpenFaultCase{"InputOutputError", EIO},
                                         OpenFaultCase{"NoMemory", ENOMEM}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PassingFaults, AWallClockSetBackTwoHoursTakesNoTimeOffTheTotals) {
    // The clock goes back 300 ms after the start; the solver is stopped a second after its banner.
    std::optional<std::chrono::steady_clock::time_point> banner;
    const ProgramResult result =
        runUntil({"/bin/sh", "-c", "exec " + solverWith("TESSALY_FAULT_WALL_STEP=-7200:300")},
                 dir.path, [&](const std::string& out, const std::string&) {
                     const auto now = std::chrono::steady_clock::now();
                     if (!banner && out.find("Best scores are stored in") != std::string::npos)
                         banner = now;
                     return banner && now - *banner >= std::chrono::seconds(1);
                 });
    EXPECT_EQ(result.status, 0) << "searched until stopped; " << result.err;
    EXPECT_GE(valueIn(readFile(dir.file("total.txt")), "secs"), 100'000);
    EXPECT_EQ(result.out.find(" -"), std::string::npos) << result.out;
}

TEST_F(PassingFaults, TemporaryFilesThatAKillLeftAreRemovedAtTheNextStartAndNamed) {
    const std::vector<std::string> left{"total.txt.tmp4242", "total.bak.tmp17", "463-2.tsr.tmp99"};
    // Names no solver writes: no process id is 0, has a leading zero or is that large.
    const std::vector<std::string> others{"notes.txt.tmp5", "total.txt.tmp0", "total.txt.tmp007",
                                          "total.txt.tmp99999999999999999999"};
    for (const std::string& name : left)
        writeFile(dir.file(name), "half\n");
    for (const std::string& name : others)
        writeFile(dir.file(name), "someone else's\n");
    const ProgramResult result = runUntil({TESSALY_BIN}, dir.path, "Grade");
    for (const std::string& name : left) {
        EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
        EXPECT_NE(result.err.find("removed " + dir.file(name)), std::string::npos) << result.err;
    }
    for (const std::string& name : others)
        EXPECT_EQ(readFile(dir.file(name)), "someone else's\n") << name;
}

// A kill between the sync of a record board and its rename leaves the only copy of the record
// under its temporary name: the next start puts it in place under the first free name.
TEST_F(PassingFaults, ARecordBoardThatAKillLeftWholeIsPutInPlaceAtTheNextStart) {
    const PlantedPuzzle plantedPuzzle = generatePuzzle({31, 17, 5});
    readPieceFile(dir.file("k7pieces.txt").c_str());
    std::array<PieceCode, 256> solution{};
    for (int slot = 0; slot < 256; ++slot)
        solution[slot] = rotate(plantedPuzzle.slotRotation[slot],
                                puzzle.pieceCodes[plantedPuzzle.slotPiece[slot]]);
    const std::string board = recordBoardText(solution);
    writeFile(dir.file("480.tsr"), "an earlier board\n");
    writeFile(dir.file("480.tsr.tmp4242"), board);
    writeFile(dir.file("479.tsr.tmp4243"), board);                  // not of its score
    writeFile(dir.file("463.tsr.tmp4244"), board.substr(0, 1000));  // cut short
    const ProgramResult result = runUntil({TESSALY_BIN}, dir.path, "Grade");
    EXPECT_EQ(readFile(dir.file("480-2.tsr")), board);
    EXPECT_EQ(readFile(dir.file("480.tsr")), "an earlier board\n");
    EXPECT_NE(result.err.find(dir.file("480.tsr.tmp4242") +
                              " is a record board whose save a "
                              "stop cut short; it is kept as " +
                              dir.file("480-2.tsr")),
              std::string::npos)
        << result.err;
    for (const char* name : {"480.tsr.tmp4242", "479.tsr.tmp4243", "463.tsr.tmp4244"})
        EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
    EXPECT_NE(result.err.find("479.tsr.tmp4243, a record board left unfinished by a stopped save "
                              "(its board scores 480, not 479)"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("463.tsr.tmp4244, a record board left unfinished by a stopped save "
                              "(it is no record board file)"),
              std::string::npos)
        << result.err;
}

}  // namespace
