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

TEST(BatchScript, AWarningReachesTheSolverOnlyOnceItCanTakeIt) {
    // This solver takes a SIGTERM as a stop only once `go` is there and says "run"; with "end"
    // it ends on its own before it ever could.
    const std::string solver =
        "#!/bin/sh\necho started >started.txt\nwhile [ ! -e go ]; do sleep 0.01; done\n"
        "[ \"$(cat go)\" = end ] && exit 3\n"
        "trap 'echo Stopped and saved; exit 0' TERM\n"
        "while :; do sleep 0.05; done\n";
    const struct {
        const char* go;
        int status;
        const char* said;
    } cases[] = {{"run", 0, "Stopped and saved"}, {"end", 3, "solver ended with status 3"}};
    for (const auto& c : cases) {
        TempDir dir;
        writeFile(dir.file("k7pieces.txt"), "\n");
        writeFile(dir.file("solver.sh"), solver);
        ASSERT_EQ(chmod(dir.file("solver.sh").c_str(), 0755), 0);
        const pid_t script = startProgram(
            {"/usr/bin/env", "SLURM_ARRAY_JOB_ID=7", "SLURM_ARRAY_TASK_ID=1", "/bin/bash",
             TESSALY_SOURCE_DIR "/deploy/slurm/tessaly.sbatch", dir.file("solver.sh")},
            dir.path, "out.txt", "err.txt");
        const auto waitUntil = [&](const std::string& file, const std::string& text) {
            for (int i = 0; i < 1000 && readFile(dir.file(file)).find(text) == std::string::npos;
                 ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        };
        // The warning comes while the solver cannot take a stop yet.
        waitUntil("started.txt", "started");
        ASSERT_EQ(kill(script, SIGUSR1), 0);
        waitUntil("out.txt", "stop requested");
        writeFile(dir.file("go"), std::string(c.go) + "\n");
        const int status = waitForExit(script, 30);
        if (status < 0) kill(script, SIGKILL);
        EXPECT_EQ(status, c.status) << c.go << readFile(dir.file("err.txt"));
        EXPECT_NE(readFile(dir.file("out.txt")).find(c.said), std::string::npos)
            << c.go << readFile(dir.file("out.txt"));
    }
}
