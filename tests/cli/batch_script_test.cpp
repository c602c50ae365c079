// The Slurm batch script run without Slurm, as one array task: its early warning, SIGUSR1, ends
// the task with status 0 however early it comes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/test_support.h"

TEST(BatchScript, AWarningAtAnyMomentEndsTheTaskWithStatusZero) {
    // The moment comes when `file` holds `text`: the script asks for the node's name, before
    // it starts the solver, or the solver runs.
    const struct {
        const char* name;
        const char* file;
        const char* text;
        const char* said;  // then, on the standard output
    } moments[] = {{"BeforeTheSolverStarts", "hostname.txt", "asked",
                    "tessaly.sbatch: stopped before the solver started"},
                   {"WhileTheSolverRuns", "out.txt", "Best scores are stored in",
                    "Stopped; the statistics are saved in"}};
    for (const auto& moment : moments) {
        TempDir dir;
        ASSERT_EQ(
            runProgram(std::string(TESSALY_GEN_BIN) + " --seed 4 k7pieces.txt", dir.path).status,
            0);
        // This hostname says when it is asked, and keeps the script waiting a while.
        std::filesystem::create_directory(dir.file("bin"));
        writeFile(dir.file("bin/hostname"),
                  "#!/bin/sh\necho asked >hostname.txt\nsleep 1\necho n\n");
        ASSERT_EQ(chmod(dir.file("bin/hostname").c_str(), 0755), 0);
        const pid_t script =
            startProgram({"/usr/bin/env", "PATH=" + dir.file("bin") + ":" + std::getenv("PATH"),
                          "SLURM_ARRAY_JOB_ID=7", "SLURM_ARRAY_TASK_ID=1", "/bin/bash",
                          TESSALY_SOURCE_DIR "/deploy/slurm/tessaly.sbatch", TESSALY_BIN},
                         dir.path, "out.txt", "err.txt");
        for (int i = 0;
             i < 1000 && readFile(dir.file(moment.file)).find(moment.text) == std::string::npos;
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_EQ(kill(script, SIGUSR1), 0);
        const int status = waitForExit(script, 30);
        if (status < 0) kill(script, SIGKILL);
        EXPECT_EQ(status, 0) << moment.name << readFile(dir.file("err.txt"));
        EXPECT_NE(readFile(dir.file("out.txt")).find(moment.said), std::string::npos)
            << moment.name << readFile(dir.file("out.txt"));
    }
}
