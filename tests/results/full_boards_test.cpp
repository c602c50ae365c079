#include "results/full_boards.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "results/results_state.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/clocks.h"
#include "base/console.h"
#include "base/random.h"
#include "base/stop_signals.h"
#include "results/board_files.h"
#include "results/board_grid.h"
#include "results/record_board_names.h"
#include "results/statistics_records.h"
#include "results/tally.h"
#include "run/resets.h"
#include "run/run_loop.h"
#include "run/startup.h"
#include "search/search_state.h"
#include "stats/statistics_file.h"
#include "tests/test_support.h"

namespace {

constexpr const char* shownDirectory = "/home/solver/boards";

std::string blanks(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

bool sameRandomState(const RandomState& a, const RandomState& b) {
    return a.words == b.words && a.position == b.position;
}

// A full board with a distinct word on every slot, some with the top bit set.
std::array<PieceCode, 256> sampleFullBoard(int variant) {
    std::array<PieceCode, 256> slots{};
    for (int s = 0; s < 256; ++s)
        slots[s] = rotate((s + variant) % 4, makePieceCode((s * 7 + variant) % 256, s % 23,
                                                           (s + 5) % 23, (s + 11) % 23, 22));
    return slots;
}

// A program start without a statistics file, in a fresh current directory, at the start of
// a run: no full board yet, no tally line open, a seeded main generator, files written.
class FullBoards : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgram();
        std::snprintf(program.settings.workingDirectory, sizeof program.settings.workingDirectory,
                      "%s", shownDirectory);
        savedRandom = program.mainRandom;
        search.board = sampleFullBoard(0);
        seedRandom(program.mainRandom, 20240607u);
        search.deepestReached = 250;
        runStatistics.startClock = programClockMs();
    }
    void TearDown() override { program.mainRandom = savedRandom; }

    // Hands the board to the full-board handling with `mismatches` mismatched edges.
    void fullBoard(int mismatches) {
        search.mismatchCount = mismatches;
        onFullBoard();
    }

    // Everything printed since the last call.
    std::string newOutput() {
        const std::string all = console.out();
        const std::string fresh = all.substr(seen);
        seen = all.size();
        return fresh;
    }

    // Names of the files in the current directory, sorted.
    std::vector<std::string> filesHere() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string fileHere(const std::string& name) const { return readFile(dir.file(name)); }

    CurrentTempDir dir;
    ConsoleCapture console;
    std::size_t seen = 0;

private:
    RandomState savedRandom;
};

TEST_F(FullBoards, FirstImperfectBoardAfterACleanStartIsANewRecordSavedAs468) {
    fullBoard(12);
    EXPECT_EQ(newOutput(), std::string("\nNEW RECORD!!!\nBoard is saved in ") + shownDirectory +
                               "/468.tsr\n" + "\n" + blanks(40) + "468   1 ");
    EXPECT_EQ(filesHere(), std::vector<std::string>{"468.tsr"});
    const auto decoded = decodeRecordBoard(fileHere("468.tsr"));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, search.board);
    EXPECT_EQ(results.statistics.grandTotal.check, 45);
    EXPECT_EQ(results.statistics.grandTotal.best, 12);
    EXPECT_EQ(results.fullBoards.count, 1);
    EXPECT_EQ(runStatistics.fullBoardTally[12], 1);
}

TEST_F(FullBoards, NewRecordAlsoBecomesBestSinceStartWithoutASecondMessage) {
    fullBoard(12);
    EXPECT_EQ(results.statistics.sinceStart.best, 12);
    EXPECT_EQ(newOutput().find("BEST SCORE SINCE START"), std::string::npos);
}

TEST_F(FullBoards, RecordBelowAnEarlierBestFromTheStatisticsIsSavedUnderItsScore) {
    results.statistics.grandTotal.best = 10;
    results.statistics.sinceStart.best = 20;
    fullBoard(9);
    EXPECT_EQ(newOutput(), std::string("\nNEW RECORD!!!\nBoard is saved in ") + shownDirectory +
                               "/471.tsr\n" + "\n" + blanks(64) + "471   1 ");
    EXPECT_EQ(filesHere(), std::vector<std::string>{"471.tsr"});
    EXPECT_EQ(results.statistics.grandTotal.best, 9);
    EXPECT_EQ(results.statistics.sinceStart.best, 9);
}

struct CheckValueCase {
    int mismatches;
    int checkValue;
    const char* fileName;
};
void PrintTo(const CheckValueCase& c, std::ostream* os) {
    *os << c.mismatches << " mismatches";
}

class FullBoardsCheckValue : public FullBoards,
                             public ::testing::WithParamInterface<CheckValueCase> {};

TEST_P(FullBoardsCheckValue, NewRecordSetsTheCheckValueOfItsMismatchCount) {
    results.statistics.grandTotal.check = 77;
    fullBoard(GetParam().mismatches);
    EXPECT_EQ(results.statistics.grandTotal.check, GetParam().checkValue);
    EXPECT_EQ(filesHere(), std::vector<std::string>{GetParam().fileName});
}

INSTANTIATE_TEST_SUITE_P(FullBoards, FullBoardsCheckValue,
                         ::testing::Values(CheckValueCase{1, 39, "479.tsr"},
                                           CheckValueCase{12, 45, "468.tsr"},
                                           CheckValueCase{16, 9, "464.tsr"},
                                           CheckValueCase{17, 15, "463.tsr"}),
                         [](const ::testing::TestParamInfo<CheckValueCase>& info) {
                             return std::to_string(info.param.mismatches) + "Mismatches";
                         });

// A board whose mismatch count equals the all-time best, against various bests since start.
struct EqualToRecordCase {
    const char* name;
    int sinceStartBest;
    bool bestSinceStart;
};
void PrintTo(const EqualToRecordCase& c, std::ostream* os) {
    *os << c.name;
}

class FullBoardsEqualToRecord : public FullBoards,
                                public ::testing::WithParamInterface<EqualToRecordCase> {};

TEST_P(FullBoardsEqualToRecord, IsNoRecordButAlwaysReachesTheTally) {
    results.statistics.grandTotal.best = 12;
    results.statistics.grandTotal.check = 45;
    results.statistics.sinceStart.best = GetParam().sinceStartBest;
    fullBoard(12);
    const std::string tallyLine = "\n" + blanks(40) + "468   1 ";
    EXPECT_EQ(newOutput(),
              (GetParam().bestSinceStart ? "\nBEST SCORE SINCE START!!!" : "") + tallyLine);
    EXPECT_EQ(filesHere(), std::vector<std::string>{});
    EXPECT_EQ(results.statistics.grandTotal.best, 12);
    EXPECT_EQ(results.statistics.grandTotal.check, 45);
    EXPECT_EQ(results.statistics.sinceStart.best,
              GetParam().bestSinceStart ? 12 : GetParam().sinceStartBest);
}

INSTANTIATE_TEST_SUITE_P(FullBoards, FullBoardsEqualToRecord,
                         ::testing::Values(EqualToRecordCase{"NoBoardSinceStart", 20, true},
                                           EqualToRecordCase{"WorseSinceStart", 13, true},
                                           EqualToRecordCase{"SameSinceStart", 12, false}),
                         [](const ::testing::TestParamInfo<EqualToRecordCase>& info) {
                             return info.param.name;
                         });

TEST_F(FullBoards, BoardWorseThanBothBestsOnlyReachesTheTally) {
    results.statistics.grandTotal.best = 5;
    results.statistics.sinceStart.best = 10;
    fullBoard(12);
    EXPECT_EQ(newOutput(), "\n" + blanks(40) + "468   1 ");
    EXPECT_EQ(results.statistics.sinceStart.best, 10);
    EXPECT_EQ(filesHere(), std::vector<std::string>{});
}

TEST_F(FullBoards, SecondBoardWithTheSameNewRecordCountIsNeitherAnnouncedNorSaved) {
    fullBoard(10);
    const std::string firstFile = fileHere("470.tsr");
    ASSERT_FALSE(firstFile.empty());
    newOutput();
    search.board = sampleFullBoard(1);
    fullBoard(10);
    EXPECT_EQ(newOutput(), ",");
    EXPECT_EQ(fileHere("470.tsr"), firstFile);
    EXPECT_EQ(filesHere(), std::vector<std::string>{"470.tsr"});
    EXPECT_EQ(results.fullBoards.count, 2);
    EXPECT_EQ(runStatistics.fullBoardTally[10], 2);
}

TEST_F(FullBoards, PerfectBoardAfterThreeImperfectOnesReportsFourSolutions) {
    fullBoard(16);
    fullBoard(15);
    fullBoard(14);
    const auto before = filesHere();
    const auto lastShown = results.tallyLine.lastShownMismatch;
    const auto marks = results.tallyLine.repeatCount;
    newOutput();
    fullBoard(0);
    const std::string printed = newOutput();
    const std::string head = "Nr solutions = 4, after ";
    const std::size_t lineEnd = printed.find('\n');
    ASSERT_NE(lineEnd, std::string::npos) << printed;
    EXPECT_EQ(printed.substr(0, head.size()), head);
    EXPECT_GT(lineEnd, head.size());
    EXPECT_EQ(printed.substr(lineEnd + 1),
              std::string("Board is saved in ") + shownDirectory + "/480.tsr\n");
    EXPECT_EQ(printed.find("NEW RECORD"), std::string::npos);
    EXPECT_EQ(results.statistics.grandTotal.best, 14);
    EXPECT_EQ(runStatistics.fullBoardTally[0], 1);
    EXPECT_EQ(results.tallyLine.lastShownMismatch, lastShown);
    EXPECT_EQ(results.tallyLine.repeatCount, marks);
    EXPECT_EQ(filesHere().size(), before.size() + 1);
}

TEST_F(FullBoards, PerfectBoardMessageShowsTheTimeSinceTheRunStarted) {
    fullBoard(0);
    const std::string printed = newOutput();
    const std::string head = "Nr solutions = 1, after 0 h 0' ";
    ASSERT_EQ(printed.substr(0, head.size()), head) << printed;
    // Seconds, a point, three digits of milliseconds, two apostrophes.
    std::size_t i = head.size();
    const std::size_t digitsStart = i;
    while (i < printed.size() && std::isdigit(static_cast<unsigned char>(printed[i])))
        ++i;
    EXPECT_GT(i, digitsStart) << printed;
    ASSERT_LT(i + 6, printed.size()) << printed;
    EXPECT_EQ(printed[i], '.');
    for (std::size_t k = 1; k <= 3; ++k)
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(printed[i + k])));
    EXPECT_EQ(printed.substr(i + 4, 3), "''\n");
}

TEST_F(FullBoards, PerfectBoardMessageContinuesTheOpenTallyLine) {
    results.statistics.grandTotal.best = 5;
    results.statistics.sinceStart.best = 5;
    fullBoard(9);
    fullBoard(0);
    const std::string printed = newOutput();
    EXPECT_EQ(printed.substr(0, 1 + 64 + 8 + 15),
              "\n" + blanks(64) + "471   1 " + "Nr solutions = ");
}

TEST_F(FullBoards, PerfectBoardsAreSavedAs480ThenNumberedCopiesWithoutOverwriting) {
    fullBoard(0);
    const std::string first = fileHere("480.tsr");
    search.board = sampleFullBoard(1);
    fullBoard(0);
    const std::string second = fileHere("480-2.tsr");
    search.board = sampleFullBoard(2);
    fullBoard(0);
    const std::string printed = newOutput();

    EXPECT_EQ(filesHere(), (std::vector<std::string>{"480-2.tsr", "480-3.tsr", "480.tsr"}));
    EXPECT_EQ(fileHere("480.tsr"), first);
    EXPECT_EQ(fileHere("480-2.tsr"), second);
    EXPECT_EQ(decodeRecordBoard(first), sampleFullBoard(0));
    EXPECT_EQ(decodeRecordBoard(second), sampleFullBoard(1));
    EXPECT_EQ(decodeRecordBoard(fileHere("480-3.tsr")), sampleFullBoard(2));
    EXPECT_NE(printed.find(std::string("Board is saved in ") + shownDirectory + "/480-2.tsr\n"),
              std::string::npos);
    EXPECT_NE(printed.find(std::string("Board is saved in ") + shownDirectory + "/480-3.tsr\n"),
              std::string::npos);
    EXPECT_EQ(printed.find("NEW RECORD"), std::string::npos);
}

// A board file of the same score is already there: a perfect board found before, or a record
// saved just before a kill that kept the statistics from learning of it. It is never replaced.
struct KeptFileCase {
    const char* name;
    int mismatches;
    const char* kept;
    const char* saved;
};
void PrintTo(const KeptFileCase& c, std::ostream* os) {
    *os << c.name;
}
class FullBoardsKeepFiles : public FullBoards,
                            public ::testing::WithParamInterface<KeptFileCase> {};

TEST_P(FullBoardsKeepFiles, BoardNeverReplacesABoardFileOfItsScore) {
    writeFile(dir.file(GetParam().kept), "kept\n");
    fullBoard(GetParam().mismatches);
    EXPECT_EQ(fileHere(GetParam().kept), "kept\n");
    EXPECT_EQ(decodeRecordBoard(fileHere(GetParam().saved)), search.board);
    EXPECT_NE(newOutput().find(std::string("Board is saved in ") + shownDirectory + "/" +
                               GetParam().saved + "\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(FullBoards, FullBoardsKeepFiles,
                         ::testing::Values(KeptFileCase{"Perfect", 0, "480.tsr", "480-2.tsr"},
                                           KeptFileCase{"Record", 17, "463.tsr", "463-2.tsr"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DeepestCase {
    const char* name;
    int mismatches;
};
void PrintTo(const DeepestCase& c, std::ostream* os) {
    *os << c.name;
}

class FullBoardsDeepest : public FullBoards, public ::testing::WithParamInterface<DeepestCase> {};

TEST_P(FullBoardsDeepest, FullBoardRaisesDeepestReachedTo256) {
    search.deepestReached = 252;
    fullBoard(GetParam().mismatches);
    EXPECT_EQ(search.deepestReached, 256);
    fullBoard(GetParam().mismatches);
    EXPECT_EQ(search.deepestReached, 256);
}

INSTANTIATE_TEST_SUITE_P(FullBoards, FullBoardsDeepest,
                         ::testing::Values(DeepestCase{"Perfect", 0}, DeepestCase{"Record", 3},
                                           DeepestCase{"Ordinary", 17}),
                         [](const ::testing::TestParamInfo<DeepestCase>& info) {
                             return info.param.name;
                         });

// Whether files are written, and the mismatch count of the board saved.
struct SavedBoardDrawCase {
    const char* name;
    bool writeFiles;
    int mismatches;
};
void PrintTo(const SavedBoardDrawCase& c, std::ostream* os) {
    *os << c.name;
}

class FullBoardsRandomDraws : public FullBoards,
                              public ::testing::WithParamInterface<SavedBoardDrawCase> {};

TEST_P(FullBoardsRandomDraws, SavingABoardTakesSevenWordsFromTheMainGenerator) {
    program.settings.writeFiles = GetParam().writeFiles;
    RandomState expected = program.mainRandom;
    for (int i = 0; i < 7; ++i)
        nextRandom(expected);
    fullBoard(GetParam().mismatches);
    EXPECT_TRUE(sameRandomState(program.mainRandom, expected));
    EXPECT_EQ(filesHere().size(), GetParam().writeFiles ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(FullBoards, FullBoardsRandomDraws,
                         ::testing::Values(SavedBoardDrawCase{"RecordWritten", true, 12},
                                           SavedBoardDrawCase{"RecordNotWritten", false, 12},
                                           SavedBoardDrawCase{"PerfectWritten", true, 0},
                                           SavedBoardDrawCase{"PerfectNotWritten", false, 0}),
                         [](const ::testing::TestParamInfo<SavedBoardDrawCase>& info) {
                             return info.param.name;
                         });

TEST_F(FullBoards, BoardThatIsNotSavedDrawsNoRandomWords) {
    results.statistics.grandTotal.best = 5;
    const RandomState before = program.mainRandom;
    fullBoard(12);
    EXPECT_TRUE(sameRandomState(program.mainRandom, before));
}

TEST_F(FullBoards, WithFileWritingOffARecordIsStillAnnouncedAndKept) {
    program.settings.writeFiles = false;
    fullBoard(12);
    EXPECT_EQ(newOutput(), std::string("\nNEW RECORD!!!\nBoard is saved in ") + shownDirectory +
                               "/468.tsr\n" + "\n" + blanks(40) + "468   1 ");
    EXPECT_EQ(filesHere(), std::vector<std::string>{});
    EXPECT_EQ(results.statistics.grandTotal.best, 12);
    EXPECT_EQ(results.statistics.grandTotal.check, 45);
}

// A board that cannot be saved: the current directory is gone and a regular file has its name.
class UnsavedBoards : public FullBoards {
protected:
    void SetUp() override {
        FullBoards::SetUp();
        ASSERT_EQ(rmdir(dir.path.c_str()), 0);
        writeFile(dir.path, "in the way\n");
    }
};

TEST_F(UnsavedBoards, PerfectBoardIsPrintedAsABoardFileAndTheSearchGoesOn) {
    fullBoard(0);
    const std::vector<std::string> lines = linesOf(newOutput());
    ASSERT_GE(lines.size(), 21u);
    EXPECT_EQ(lines[2].rfind(std::string("Board could not be saved in ") + shownDirectory +
                                 "/480.tsr: No such file or directory",
                             0),
              0u)
        << lines[2];
    // The last 16 lines load as the board, slot rows 15 down to 0.
    const std::size_t first = lines.size() - 16;
    for (int row = 15; row >= 0; --row) {
        std::istringstream cells(lines[first + 15 - row]);
        for (int col = 0; col < 16; ++col) {
            std::string cell;
            cells >> cell;
            int piece = -1;
            int rotation = -1;
            ASSERT_TRUE(parseCellPiece(cell.c_str(), piece, rotation)) << cell;
            EXPECT_EQ(piece, pieceNumberOf(search.board[16 * row + col]));
            EXPECT_EQ(rotation, rotationOf(search.board[16 * row + col]));
        }
    }
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("Board is saved in"), std::string::npos) << line;
    fullBoard(0);
    EXPECT_EQ(results.fullBoards.count, 2);
}

using UnsavedBoardsDeathTest = UnsavedBoards;

TEST_F(UnsavedBoardsDeathTest, RecordIsPrintedBeforeTheErrorExitAndNeverCalledSaved) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (std::freopen("/dev/null", "r", stdin) == nullptr) std::_Exit(3);
            process.consoleOut = stderr;
            process.consoleErr = stderr;
            fullBoard(12);
        },
        ::testing::ExitedWithCode(1),
        std::string("^\nNEW RECORD!!!\nBoard could not be saved in ") + shownDirectory +
            "/468.tsr: [^\n]*\n# .*\nCould not write to file 468.tsr\nPress enter to exit\n$");
}

TEST_F(FullBoards, ARecordBesideAThousandBoardsOfItsScoreIsWrittenOnceAndAtOnce) {
    for (int copy = 1; copy <= 1000; ++copy)
        writeFile(dir.file(recordBoardFileName(463, copy)), "kept\n");
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, dir.path.c_str(), IN_CREATE), 0);
    const auto start = std::chrono::steady_clock::now();
    fullBoard(17);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    int created = 0;
    alignas(inotify_event) char events[1 << 16];
    for (ssize_t n; (n = read(watch, events, sizeof events)) > 0;)
        for (ssize_t at = 0; at < n; ++created)
            at += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(events + at)->len;
    close(watch);
    EXPECT_EQ(created, 1) << "one temporary file, whatever the copies";
    EXPECT_LT(took.count(), 1.0);
    EXPECT_EQ(decodeRecordBoard(fileHere("463-1001.tsr")), search.board);
    EXPECT_EQ(fileHere("463-1000.tsr"), "kept\n");
}

TEST_F(FullBoards, CountersThatLiveForTheProgramGoPast2To31) {
    constexpr std::int64_t past = std::int64_t{1} << 31;
    results.statistics.grandTotal.best = 5;
    results.fullBoards.count = past - 1;
    runStatistics.fullBoardTally[16] = past - 1;
    results.tallyLine = {.lastShownMismatch = 16, .repeatCount = past - 1};
    fullBoard(16);
    fullBoard(0);
    EXPECT_EQ(results.fullBoards.count, past + 1);
    EXPECT_EQ(results.tallyLine.repeatCount, past);
    EXPECT_NE(newOutput().find("Nr solutions = 2147483649, after"), std::string::npos);
    saveStatistics();
    EXPECT_NE(fileHere("total.txt").find("\n16=2147483648\n"), std::string::npos);
}

// A console that copies its text to the error stream, which a death test reads, and sends the
// process SIGINT as it prints the record's announcement: a stop in the middle of its save.
std::FILE* consoleStoppingAtTheRecord() {
    cookie_io_functions_t io{};
    io.write = [](void*, const char* text, std::size_t size) -> ssize_t {
        std::fwrite(text, 1, size, stderr);
        std::fflush(stderr);
        if (std::string_view(text, size).find("NEW RECORD!!!") != std::string_view::npos)
            std::raise(SIGINT);
        return static_cast<ssize_t>(size);
    };
    return fopencookie(nullptr, "w", io);
}

using FullBoardsDeathTest = FullBoards;

// Forked without a new start, so the files the end leaves are seen here.
TEST_F(FullBoardsDeathTest, ASecondStopDuringARecordSaveEndsOnceTheBoardAndStatisticsAreSaved) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            catchStopSignals();
            saveStatisticsAtEnds();
            std::raise(SIGINT);  // the first stop; the second comes a while later
            std::this_thread::sleep_for(std::chrono::milliseconds(sameStopMs + 100));
            process.consoleOut = consoleStoppingAtTheRecord();
            process.consoleErr = stderr;
            search.nodeCount = 5'000;
            fullBoard(12);
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0),
        "NEW RECORD!!!\nBoard is saved in [^\n]*/468.tsr\n.*\nStopped; the statistics are saved");
    EXPECT_EQ(decodeRecordBoard(fileHere("468.tsr")), search.board);
    const std::string totals = fileHere("total.txt");
    EXPECT_NE(totals.find("nodes=5000\n"), std::string::npos) << totals;
    EXPECT_NE(totals.find("\n12=1\n"), std::string::npos) << totals;
}

TEST_F(FullBoardsDeathTest, ARecordThatCannotBeWrittenIsPrintedAndTheStatisticsSavedFirst) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            if (std::freopen("/dev/null", "r", stdin) == nullptr) std::_Exit(3);
            catchStopSignals();
            saveStatisticsAtEnds();
            process.consoleOut = stderr;
            process.consoleErr = stderr;
            // A directory in the place of the board's temporary file.
            mkdir(("468.tsr.tmp" + std::to_string(getpid())).c_str(), 0700);
            search.nodeCount = 5'000;
            fullBoard(12);
        },
        ::testing::ExitedWithCode(1),
        "Board could not be saved in [^\n]*/468.tsr: .*\nCould not write to file 468.tsr\n");
    const std::string totals = fileHere("total.txt");
    EXPECT_NE(totals.find("nodes=5000\n"), std::string::npos) << totals;
    EXPECT_NE(totals.find("\n12=1\n"), std::string::npos) << totals;
}

TEST_F(FullBoards, BoardAndMismatchCountAreLeftAsTheyWere) {
    fullBoard(12);
    EXPECT_EQ(search.board, sampleFullBoard(0));
    EXPECT_EQ(search.mismatchCount, 12);
    fullBoard(0);
    EXPECT_EQ(search.board, sampleFullBoard(0));
    EXPECT_EQ(search.mismatchCount, 0);
}

}  // namespace
