// The Slurm batch script run without Slurm, as one array task: its early warning, SIGUSR1,
// stops the task cleanly whenever it comes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>

#include "tests/test_support.h"

namespace {

struct EarlyStopCase {
    const char* name;
    const char* waitFor;  // the file whose text shows that the moment has come
    const char* text;     // the text it waits for
    const char* said;     // what the script or the solver then says on the standard output
};

void PrintTo(const EarlyStopCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchScript : public testing::TestWithParam<EarlyStopCase> {};

bool waitForText(const std::string& path, const std::string& text, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (readFile(path).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace

TEST_P(BatchScript, AWarningAtAnyMomentEndsTheTaskWithStatusZero) {
    const EarlyStopCase& c = GetParam();
    TempDir dir;
    const ProgramResult made =
        runProgram(std::string(TESSALY_GEN_BIN) + " --seed 4 --colours 14 k7pieces.txt", dir.path);
    ASSERT_EQ(made.status, 0) << made.err;
    // The script asks for the node's name before it starts the solver; this one says when it is
    // asked, and keeps the script waiting a while.
    std::filesystem::create_directory(dir.file("bin"));
    writeFile(dir.file("bin/hostname"),
              "#!/bin/sh\necho asked >hostname.txt\nsleep 1\necho node\n");
    ASSERT_EQ(chmod(dir.file("bin/hostname").c_str(), 0755), 0);
    const pid_t script =
        startProgram({"/usr/bin/env", "PATH=" + dir.file("bin") + ":" + std::getenv("PATH"),
                      "SLURM_ARRAY_JOB_ID=7", "SLURM_ARRAY_TASK_ID=1", "/bin/bash",
                      TESSALY_SOURCE_DIR "/deploy/slurm/tessaly.sbatch", TESSALY_BIN},
                     dir.path, "out.txt", "err.txt");
    const bool came = waitForText(dir.file(c.waitFor), c.text, 20);
    ASSERT_EQ(kill(script, SIGUSR1), 0);
    const int status = waitForExit(script, 30);
    if (status < 0) kill(script, SIGKILL);
    ASSERT_TRUE(came) << readFile(dir.file("out.txt"));
    EXPECT_EQ(status, 0) << readFile(dir.file("err.txt"));
    EXPECT_NE(readFile(dir.file("out.txt")).find(c.said), std::string::npos)
        << readFile(dir.file("out.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Moments, BatchScript,
    testing::Values(EarlyStopCase{"BeforeTheSolverStarts", "hostname.txt", "asked",
                                  "tessaly.sbatch: stopped before the solver started"},
                    EarlyStopCase{"WhileTheSolverRuns", "out.txt", "Best scores are stored in",
                                  "Stopped; the statistics are saved in"}),
    [](const testing::TestParamInfo<EarlyStopCase>& info) { return std::string(info.param.name); });
