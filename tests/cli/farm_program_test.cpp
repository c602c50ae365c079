// The built farm launcher running, losing and stopping real solver instances.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "results/board_files.h"
#include "results/grid_writing.h"
#include "results/record_board_names.h"
#include "stats/statistics_file.h"
#include "tests/test_support.h"
#include "tests/tools/common/status_page_reader.h"
#include "tools/common/search_history.h"
#include "tools/farm/board_watch.h"
#include "tools/farm/farm_options.h"
#include "tools/farm/farm_status.h"
#include "tools/farm/log_watch.h"

namespace {

// The built launcher, started in a directory holding a generated puzzle.
class FarmProgram : public testing::Test {
protected:
    TempDir dir;

    void SetUp() override {
        const ProgramResult made = runProgram(std::string(TESSALY_GEN_BIN) +
                                                  " --seed 9 --colours 12 --rim-colours 4 "
                                                  "--solution solution.txt k7pieces.txt",
                                              dir.path);
        ASSERT_EQ(made.status, 0) << made.err;
    }

    // Starts tessaly-farm with `arguments`, its output in out.txt and err.txt.
    pid_t startFarm(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), TESSALY_FARM_BIN);
        return startProgram(arguments, dir.path, "out.txt", "err.txt");
    }

    // Waits until out.txt holds `text`; false after `seconds`.
    bool waitForOutput(const std::string& text, double seconds) {
        return waitForFileText(dir.file("out.txt"), text, seconds);
    }

    // Waits until the file `name` of the directory holds `text`; false after `seconds`.
    bool waitForText(const std::string& name, const std::string& text, double seconds) {
        return waitForFileText(dir.file(name), text, seconds);
    }

    // Waits until out.txt holds `count` status lines more than it held at `after` (a length of
    // out.txt); false after `seconds`.
    bool waitForStatusLines(std::size_t count, std::size_t after = 0,
                            double seconds = eventSeconds) {
        return waitUntil(
            [&] {
                std::size_t lines = 0;
                for (const std::string& line : linesOf(readFile(dir.file("out.txt")).substr(after)))
                    lines += line.find(" alive ") != std::string::npos;
                return lines >= count;
            },
            seconds);
    }

    // The pid the launcher printed for `instance` the `nth` time it started it.
    pid_t instancePid(int instance, const std::string& marker = ": pid ") {
        const std::string out = readFile(dir.file("out.txt"));
        const std::string key = "instance " + std::to_string(instance) + marker;
        const std::size_t at = out.rfind(key);
        return at == std::string::npos ? -1 : std::stoi(out.substr(at + key.size()));
    }

    std::int64_t nodesIn(const std::string& directory) {
        StatsRecord record{};
        std::int32_t check = 0;
        const std::string path = dir.file(directory + "/total.txt");
        if (readStatisticsFile(path.c_str(), record, check) != StatisticsReading::read) return -1;
        return record.nodes;
    }
};

TEST_F(FarmProgram, RunsTwoInstancesRestartsAKilledOneAndStopsAllOnCtrlC) {
    const pid_t farm = startFarm({"-j", "2", "--status", "1"});
    ASSERT_TRUE(waitForOutput("instance 2: pid", eventSeconds)) << readFile(dir.file("err.txt"));
    ASSERT_TRUE(waitForStatusLines(3)) << readFile(dir.file("out.txt"));

    // An instance killed from outside is reported with its status and log, then restarted.
    const pid_t first = instancePid(1);
    ASSERT_GT(first, 0);
    ASSERT_EQ(kill(first, SIGKILL), 0);
    ASSERT_TRUE(waitForOutput("instance 1: restarted, pid", eventSeconds))
        << readFile(dir.file("out.txt"));
    const std::string report = readFile(dir.file("out.txt"));
    EXPECT_NE(
        report.find("instance 1 (pid " + std::to_string(first) +
                    ") ended with signal 9; its log: farm/1/tessaly.log; restarting it (1 of 3)"),
        std::string::npos)
        << report;
    EXPECT_NE(instancePid(1, ": restarted, pid "), first);
    // A few status lines after the restart, before the stop.
    ASSERT_TRUE(waitForStatusLines(2, readFile(dir.file("out.txt")).size()))
        << readFile(dir.file("out.txt"));

    // Ctrl-C reaches the launcher, which passes it on; every instance saves and ends. A second
    // signal at once (as `timeout` sends to the process and then its group) is the same stop.
    ASSERT_EQ(kill(farm, SIGINT), 0);
    ASSERT_EQ(kill(farm, SIGTERM), 0);
    const int status = waitForExit(farm, eventSeconds);
    ASSERT_EQ(status, 0) << readFile(dir.file("out.txt")) << readFile(dir.file("err.txt"));

    const std::string out = readFile(dir.file("out.txt"));
    EXPECT_NE(out.find("All instances have ended; their statistics are in farm/1 to farm/2"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("Stopping at once"), std::string::npos) << out;
    for (const char* instance : {"1", "2"}) {
        EXPECT_GT(nodesIn(std::string("farm/") + instance), 0) << instance;
        const std::string log =
            readFile(dir.file(std::string("farm/") + instance + "/tessaly.log"));
        EXPECT_NE(log.find("Stopped; the statistics are saved in"), std::string::npos) << log;
    }
    // The status line moves: its clock runs on and the last one counts the saved nodes.
    std::vector<std::string> statusLines;
    for (const std::string& line : linesOf(out))
        if (line.find(" alive ") != std::string::npos) statusLines.push_back(line);
    ASSERT_GE(statusLines.size(), 4u) << out;
    EXPECT_EQ(statusLines.front().rfind("0:00:00  2/2 alive", 0), 0u) << statusLines.front();
    EXPECT_NE(statusLines.back().find("0/2 alive"), std::string::npos) << statusLines.back();
    EXPECT_EQ(statusLines.back().find("  0 nodes"), std::string::npos) << statusLines.back();
}

TEST_F(FarmProgram, ResumesADirectoryAndStartsEveryRunFromABoardFile) {
    std::filesystem::create_directories(dir.file("runs/1"));
    writeFile(dir.file("runs/1/total.txt"), "K7 stats\nnodes=123456789012\nsecs=99\n15=4\n");
    // The first two board lines of the planted solution: slot rows 15 and 14.
    const std::vector<std::string> solution = linesOf(readFile(dir.file("solution.txt")));
    writeFile(dir.file("start.txt"), solution[1] + "\n" + solution[2] + "\n");
    writeFile(dir.file("k7groups.txt"), "off\n");
    // Links planted where the copies go are replaced, never written through.
    writeFile(dir.file("victim"), "precious\n");
    ASSERT_EQ(symlink("../../victim", dir.file("runs/1/k7pieces.txt").c_str()), 0);
    ASSERT_EQ(symlink("../../victim", dir.file("runs/1/k7groups.txt").c_str()), 0);
    const pid_t farm = startFarm({"-j", "1", "-d", "runs", "--status", "1", "start.txt"});
    ASSERT_TRUE(waitForOutput("instance 1: pid", eventSeconds)) << readFile(dir.file("err.txt"));
    // A run has loaded the board and searched from it.
    ASSERT_TRUE(waitForText("runs/1/tessaly.log", "loading ", eventSeconds) &&
                waitForStatusLines(2))
        << readFile(dir.file("runs/1/tessaly.log"));
    ASSERT_EQ(kill(farm, SIGTERM), 0);
    ASSERT_EQ(waitForExit(farm, eventSeconds), 0) << readFile(dir.file("out.txt"));

    // The instance ran beside a copy of the pieces and the groups file and loaded the board
    // file at every run.
    EXPECT_EQ(readFile(dir.file("runs/1/k7pieces.txt")), readFile(dir.file("k7pieces.txt")));
    EXPECT_EQ(readFile(dir.file("runs/1/k7groups.txt")), "off\n");
    EXPECT_FALSE(std::filesystem::is_symlink(dir.file("runs/1/k7pieces.txt")));
    EXPECT_EQ(readFile(dir.file("victim")), "precious\n");
    const std::string log = readFile(dir.file("runs/1/tessaly.log"));
    EXPECT_NE(log.find("loading " + dir.file("start.txt")), std::string::npos) << log;
    EXPECT_NE(log.find("Piece group rules are off"), std::string::npos) << log;
    // The earlier statistics were kept and added to.
    EXPECT_GT(nodesIn("runs/1"), 123456789012);
}

TEST_F(FarmProgram, KeepsAHistoryAndAPageThatReloadsItself) {
    const pid_t farm = startFarm({"-j", "1", "--status", "1", "--html", "page.html"});
    ASSERT_TRUE(waitForOutput("instance 1: pid", eventSeconds)) << readFile(dir.file("err.txt"));
    ASSERT_TRUE(waitForStatusLines(4)) << readFile(dir.file("out.txt"));
    ASSERT_EQ(kill(farm, SIGINT), 0);
    ASSERT_EQ(waitForExit(farm, eventSeconds), 0) << readFile(dir.file("out.txt"));
    EXPECT_NE(readFile(dir.file("out.txt")).find("tessaly-farm: 1 instance of "),
              std::string::npos);

    // A line per status refresh under the header; the last one counts the saved nodes.
    const HistoryRecord history = readHistory(dir.file("farm/history.csv")).history;
    ASSERT_GE(history.count, 4);
    EXPECT_EQ(linesOf(readFile(dir.file("farm/history.csv")))[0], historyHeader);
    EXPECT_EQ(history.points.back().nodes, nodesIn("farm/1"));
    const PageFacts page = readPage(dir.file("page.html"));
    ASSERT_TRUE(page.parsed) << page.problem;
    EXPECT_EQ(page.reloadSeconds, 30);
    ASSERT_FALSE(page.plotPoints.empty());
    EXPECT_EQ(page.plotPoints.front(), static_cast<int>(history.count));
    EXPECT_EQ(page.directories.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("page.html.tmp" + std::to_string(farm))));

    // A page that cannot be written stops the farm before it starts an instance, after it
    // read no more than the end of a history too large to read whole, and said so.
    std::filesystem::create_directories(dir.file("other"));
    writeFile(dir.file("other/history.csv"), "");
    std::filesystem::resize_file(dir.file("other/history.csv"), historyReadLimit + 1000);
    const ProgramResult refused =
        runProgram(std::string(TESSALY_FARM_BIN) + " -j 1 -d other --html no/page.html", dir.path);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("cannot write no/page.html"), std::string::npos) << refused.err;
    EXPECT_NE(refused.out.find("tessaly-farm: other/history.csv is larger than 256 MB: only its "
                               "last 256 MB are read\n"),
              std::string::npos)
        << refused.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("other/1")));
}

TEST_F(FarmProgram, AnnouncesEachBoardFileOnceWhateverItsDirectoryIsNamed) {
    // A name with a line end and what the solver prints of a board it saved.
    const std::string named = "x\nBoard is saved in /etc/480.tsr";
    const std::string instance = dir.file(named + "/1");
    const auto boardFiles = [&instance] {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(instance, error))
            if (parseRecordBoardFileName(entry.path().filename().string()))
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    // Without group rules the runs on this puzzle soon reach full boards. Seeds picked by
    // starting the solver on this puzzle with seeds N,N for N from 1 to 30: with these its
    // first run reaches one within a few CPU-milliseconds, where a few seeds take seconds.
    writeFile(dir.file("k7groups.txt"), "off\n");
    const FixedSeeds seeds("19,19");
    const pid_t farm = startFarm({"-j", "1", "--status", "1", "-d", named});
    EXPECT_TRUE(waitForText("out.txt", "instance 1: new record ", eventSeconds));
    ASSERT_EQ(kill(farm, SIGTERM), 0);
    ASSERT_EQ(waitForExit(farm, eventSeconds), 0) << readFile(dir.file("err.txt"));
    const std::vector<std::string> saved = boardFiles();
    ASSERT_FALSE(saved.empty()) << readFile(dir.file("out.txt"));

    // One line for each board file, naming it, and nothing that ends a line but line ends.
    const std::string out = readFile(dir.file("out.txt"));
    const std::string shown = "x\\x0aBoard is saved in /etc/480.tsr/1/";
    std::vector<std::string> announced;
    for (const std::string& line : linesOf(out)) {
        for (const char* news : {"instance 1: new record ", "instance 1: PERFECT BOARD "}) {
            if (!line.starts_with(news)) continue;
            EXPECT_EQ(line.substr(0, line.rfind('/') + 1), news + shown) << line;
            announced.push_back(line.substr(line.rfind('/') + 1));
        }
    }
    std::sort(announced.begin(), announced.end());
    EXPECT_EQ(announced, saved) << out;
    EXPECT_EQ(
        std::count_if(out.begin(), out.end(),
                      [](char c) { return c != '\n' && static_cast<unsigned char>(c) < 0x20; }),
        0)
        << out;
}

TEST_F(FarmProgram, AnInstanceDirectoryThatIsALinkIsNotUsed) {
    // The instance would keep its files where the link leads.
    std::filesystem::create_directories(dir.file("linked"));
    std::filesystem::create_directories(dir.file("elsewhere"));
    ASSERT_EQ(symlink("../elsewhere", dir.file("linked/1").c_str()), 0);
    const ProgramResult result =
        runProgram(std::string(TESSALY_FARM_BIN) + " -j 1 -d linked", dir.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("cannot use linked/1: it is a symbolic link"), std::string::npos)
        << result.out;
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("elsewhere")));
}

TEST_F(FarmProgram, RefusesWhatItCannotRunWithStatusOneAndABadOptionWithTwo) {
    TempDir empty;
    ProgramResult result = runProgram(std::string(TESSALY_FARM_BIN) + " -j 1", empty.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("no readable k7pieces.txt"), std::string::npos) << result.err;

    result = runProgram(std::string(TESSALY_FARM_BIN) + " -j 1 missing-board.txt", dir.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot read the board file missing-board.txt"), std::string::npos);

    writeFile(dir.file("k7groups.txt"), "second\n");
    result = runProgram(std::string(TESSALY_FARM_BIN) + " -j 1", dir.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("the word second without a first list"), std::string::npos);
    std::filesystem::remove(dir.file("k7groups.txt"));

    result = runProgram(std::string(TESSALY_FARM_BIN) + " --solver /nonexistent/solver", dir.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("/nonexistent/solver"), std::string::npos);

    // Paths longer than the solver takes, which would end every instance at its start.
    const std::string deep = std::string(200, 'd') + "/" + std::string(200, 'd') + "/";
    std::filesystem::create_directories(dir.file(deep));
    writeFile(dir.file(deep + std::string(100, 'b')), "\n");
    writeFile(dir.file("start.txt"), "\n");
    for (const auto& [arguments, said] :
         {std::pair{" -d " + deep + std::string(100, 'd'), "-d " + deep},
          {" -d " + deep + std::string(100, 'd') + " start.txt", "-d " + deep},
          {" " + deep + std::string(100, 'b'), std::string("the board file ")}}) {
        result = runProgram(std::string(TESSALY_FARM_BIN) + " -j 1" + arguments, dir.path);
        EXPECT_EQ(result.status, 1) << arguments;
        EXPECT_NE(result.err.find(said), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("the solver takes none longer than 499"), std::string::npos)
            << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file(deep + std::string(100, 'd'))));

    result = runProgram(std::string(TESSALY_FARM_BIN) + " -j many", dir.path);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: tessaly-farm"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("farm")));
}

TEST_F(FarmProgram, WarnsWhenThereAreMoreInstancesThanProcessors) {
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    const pid_t farm = startFarm({"-j", std::to_string(processors + 1), "--status", "1"});
    ASSERT_TRUE(
        waitForOutput("instance " + std::to_string(processors + 1) + ": pid", eventSeconds));
    ASSERT_EQ(kill(farm, SIGINT), 0);
    ASSERT_EQ(waitForExit(farm, eventSeconds), 0);
    EXPECT_NE(readFile(dir.file("err.txt"))
                  .find("warning: " + std::to_string(processors + 1) + " instances on " +
                        std::to_string(processors) + " processors"),
              std::string::npos);
}

TEST_F(FarmProgram, AnInstanceRetiredBeforeTheStopFailsTheStopUnlessItSaved) {
    // Instance 1 ends from outside: killed, or stopped, which it saves at.
    const struct {
        const char* name;
        int signal;
        int status;        // of the farm, after its stop
        std::string said;  // at its end
    } cases[] = {{"killed", SIGKILL, 1,
                  "not every one saved its statistics: instance 1 (retired after signal 9); "
                  "see their logs"},
                 {"stopped", SIGTERM, 0,
                  "All instances have ended; their statistics are in stopped/1 to stopped/2"}};
    for (const auto& c : cases) {
        const pid_t farm = startFarm({"-j", "2", "--status", "1", "--restarts", "0", "-d", c.name});
        ASSERT_TRUE(waitForOutput("instance 2: pid", eventSeconds))
            << readFile(dir.file("err.txt"));
        ASSERT_TRUE(
            waitForText(std::string(c.name) + "/1/tessaly.log", "Best scores", eventSeconds));
        ASSERT_EQ(kill(instancePid(1), c.signal), 0);
        ASSERT_TRUE(waitForOutput("not restarting it again", eventSeconds))
            << readFile(dir.file("out.txt"));
        ASSERT_EQ(kill(farm, SIGTERM), 0);
        EXPECT_EQ(waitForExit(farm, eventSeconds), c.status) << c.name;
        const std::string out = readFile(dir.file("out.txt"));
        EXPECT_NE(out.find(c.said), std::string::npos) << c.name << out;
        EXPECT_EQ(out.find(c.status == 0 ? "not every one saved" : "All instances have ended;"),
                  std::string::npos)
            << c.name << out;
    }
}

TEST_F(FarmProgram, AnInstanceThatCannotStartStopsThoseStartedWhichSave) {
    std::filesystem::create_directories(dir.file("farm"));
    writeFile(dir.file("farm/2"), "not a directory\n");
    const ProgramResult result =
        runProgram(std::string(TESSALY_FARM_BIN) + " -j 3 --status 1", dir.path);
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("Stopping: every instance saves its statistics and ends\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("All instances have ended; their statistics are in farm/1\n"
                              "tessaly-farm: stopped because instance 2 could not be started: "
                              "cannot create directory farm/2"),
              std::string::npos)
        << result.out;
    // Instance 1 saved before the farm ended; instance 3 was never started.
    EXPECT_GE(nodesIn("farm/1"), 0);
    EXPECT_NE(readFile(dir.file("farm/1/tessaly.log")).find("Stopped; the statistics are saved in"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("farm/3")));
}

TEST_F(FarmProgram, AStopBeforeAnyInstanceStartsNamesNoStatistics) {
    const pid_t farm =
        startProgram({TESSALY_FARM_BIN, "-j", "3"}, dir.path, "out.txt", "err.txt", false, SIGTERM);
    const int status = waitForExit(farm, eventSeconds);
    if (status < 0 && kill(farm, SIGKILL) == 0) waitForExit(farm, eventSeconds);
    EXPECT_EQ(status, 0) << readFile(dir.file("err.txt"));
    const std::string out = readFile(dir.file("out.txt"));
    EXPECT_NE(out.find("\nStopped before any instance was started\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("statistics are in"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("farm/1")));
}

TEST_F(FarmProgram, AStopReachesAnInstanceOnlyOnceItCanTakeIt) {
    // This solver takes a SIGTERM as a stop only once `go` is there; before, one ends it.
    writeFile(dir.file("solver.sh"),
              "#!/bin/sh\necho started >started.txt\nwhile [ ! -e go ]; do sleep 0.01; done\n"
              "trap 'echo Stopped and saved; exit 0' TERM\nwhile :; do sleep 0.05; done\n");
    ASSERT_EQ(chmod(dir.file("solver.sh").c_str(), 0755), 0);
    const pid_t farm = startFarm({"-j", "1", "--solver", dir.file("solver.sh")});
    ASSERT_TRUE(waitForText("started.txt", "started", eventSeconds))
        << readFile(dir.file("out.txt"));
    ASSERT_EQ(kill(farm, SIGTERM), 0);
    ASSERT_TRUE(waitForOutput("Stopping: every instance saves", eventSeconds));
    writeFile(dir.file("go"), "");
    EXPECT_EQ(waitForExit(farm, eventSeconds), 0) << readFile(dir.file("out.txt"));
    EXPECT_NE(readFile(dir.file("farm/1/tessaly.log")).find("Stopped and saved"),
              std::string::npos);
}

}  // namespace

TEST_F(FarmProgram, AStopAtItsStartEndsEveryInstanceAndAnUnsavedOneIsNamed) {
    // Instance 2 cannot replace its total.bak, so its last save fails.
    std::filesystem::create_directories(dir.file("farm/2/total.bak"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        const pid_t farm = startFarm({"-j", "2", "--status", "1"});
        std::this_thread::sleep_for(std::chrono::milliseconds(attempt == 0 ? 300 : 3000));
        if (attempt == 1) {
            // A second farm on the same directory refuses and changes nothing.
            const ProgramResult second =
                runProgram(std::string(TESSALY_FARM_BIN) + " -j 2", dir.path);
            EXPECT_EQ(second.status, 1);
            EXPECT_NE(second.err.find("farm is in use by another process (pid " +
                                      std::to_string(farm) + ")"),
                      std::string::npos)
                << second.err;
        }
        ASSERT_EQ(kill(farm, SIGTERM), 0);
        const int status = waitForExit(farm, eventSeconds);
        if (status < 0) kill(farm, SIGKILL);
        const std::string out = readFile(dir.file("out.txt"));
        for (const int instance : {1, 2}) {
            const pid_t pid = instancePid(instance);
            EXPECT_TRUE(pid <= 0 || kill(pid, 0) != 0) << "instance " << instance << " runs";
        }
        if (attempt == 0) {
            EXPECT_GE(status, 0) << out;
            continue;
        }
        EXPECT_EQ(status, 1) << out;
        EXPECT_NE(out.find("instance 2 ended with status 1: its statistics may not be saved"),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("not every one saved its statistics: instance 2; see their logs"),
                  std::string::npos)
            << out;
        EXPECT_EQ(out.find("instance 1 ended with"), std::string::npos) << out;
    }
}
