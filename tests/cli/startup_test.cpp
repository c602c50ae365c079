// The start-up of the built solver: where it reads its pieces, the banner, and "-o".
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <string>

#include "tests/test_support.h"
#include "tools/gen/puzzle_generator.h"

namespace {

constexpr const char* banner = "Tessaly solver version 1.0\n\n";

// Runs the solver briefly in `dir` with `argument`; the solver searches without end once
// started, so it is stopped after `seconds`.
ProgramResult startSolverOnce(const TempDir& dir, const std::string& argument, int seconds = 2) {
    return runProgram(std::string(TESSALY_BIN) + " " + argument, dir.path, "\n", seconds);
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Whether the process `pid` has a handler of its own for `signalNumber` (its SigCgt mask).
bool catchesSignal(pid_t pid, int signalNumber) {
    const std::string status = readFile("/proc/" + std::to_string(pid) + "/status");
    const std::size_t at = status.find("SigCgt:\t");
    if (at == std::string::npos) return false;
    const unsigned long long caught = std::stoull(status.substr(at + 8, 16), nullptr, 16);
    return (caught >> (signalNumber - 1)) & 1;
}

}  // namespace

TEST(Startup, WithoutArgumentsReadsPiecesHereAndNamesThisDirectory) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), simplePieceFileText());
    const ProgramResult result = startSolverOnce(dir, "");
    EXPECT_TRUE(startsWith(result.out,
                           std::string(banner) + "Best scores are stored in " + dir.path + "\n\n"))
        << result.out;
    EXPECT_EQ(result.out.find("loading"), std::string::npos);
}

TEST(Startup, RelativeOutputDirectoryIsAppendedToTheStartDirectory) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), simplePieceFileText());
    ASSERT_EQ(mkdir(dir.file("runs").c_str(), 0755), 0);
    const ProgramResult result = startSolverOnce(dir, "-oruns");
    EXPECT_TRUE(startsWith(
        result.out, std::string(banner) + "Best scores are stored in " + dir.path + "/runs\n\n"))
        << result.out;
}

TEST(Startup, AbsoluteOutputDirectoryIsTakenAsItStands) {
    TempDir dir, elsewhere;
    writeFile(dir.file("k7pieces.txt"), simplePieceFileText());
    const ProgramResult result = startSolverOnce(dir, "-o" + elsewhere.path);
    EXPECT_TRUE(startsWith(
        result.out, std::string(banner) + "Best scores are stored in " + elsewhere.path + "\n\n"))
        << result.out;
}

TEST(Startup, PiecesAreReadFromTheStartDirectoryNotTheOutputDirectory) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("runs").c_str(), 0755), 0);
    writeFile(dir.file("runs/k7pieces.txt"), simplePieceFileText());
    const ProgramResult result = startSolverOnce(dir, "-oruns");
    EXPECT_EQ(result.err,
              "Cannot open piece file " + dir.path +
                  "/k7pieces.txt\nPlease read the instructions how to create this file\n");
    EXPECT_EQ(result.status, 1);
}

TEST(Startup, MissingOutputDirectoryFailsBeforeTheBanner) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), simplePieceFileText());
    const ProgramResult result = startSolverOnce(dir, "-onowhere");
    EXPECT_EQ(result.out, "argument 1: cd to directory <nowhere> failed\nPress enter to exit\n");
    EXPECT_EQ(result.status, 1);
}

TEST(Startup, OverlongPathsAreRefusedNamingTheArgument) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), simplePieceFileText());
    const std::string longName(480, 'd');
    ProgramResult result = startSolverOnce(dir, "-o" + longName);
    EXPECT_TRUE(startsWith(result.out, "argument 1: directory <ddd")) << result.out;
    EXPECT_NE(result.out.find("longer than 499 characters"), std::string::npos);
    EXPECT_EQ(result.status, 1);

    result = startSolverOnce(dir, std::string(520, 'b'));
    EXPECT_TRUE(startsWith(result.out, "argument 1: board file name <bbb")) << result.out;
    EXPECT_EQ(result.status, 1);
}

TEST(Startup, AStartDirectoryThatIsGoneIsReportedAsSuch) {
    TempDir dir;
    const ProgramResult result = runProgram(
        "sh -c 'mkdir gone && cd gone && rmdir ../gone && exec " + std::string(TESSALY_BIN) + "'",
        dir.path, "\n");
    EXPECT_EQ(result.err, "cannot read the current directory: No such file or directory\n");
    EXPECT_EQ(result.out, "Press enter to exit\n");
    EXPECT_EQ(result.status, 1);
}

TEST(Startup, AGroupsFileTurnsTheRimLookAheadOnWherePiecesAllowIt) {
    TempDir dir;
    writeFile(dir.file("k7pieces.txt"), pieceFileText(generatePuzzle({3, 12, 4})));
    writeFile(dir.file("k7groups.txt"), "rim-look-ahead\n");
    ProgramResult result = startSolverOnce(dir, "");
    EXPECT_NE(result.out.find("\nRim look-ahead is on, as " + dir.path + "/k7groups.txt says\n"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("Piece group"), std::string::npos) << "the built-in groups";

    writeFile(dir.file("k7pieces.txt"), simplePieceFileText());
    result = startSolverOnce(dir, "");
    EXPECT_NE(result.err.find("Rim look-ahead is off, though " + dir.path +
                              "/k7groups.txt asks for it: colour "),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.out.find("Rim look-ahead is on"), std::string::npos);
}

// The farm and the batch script pass a stop on once the solver catches it; the solver sets its
// handlers before it reads anything, so even one held in its start-up (here waiting for Enter
// after a fault) takes a stop instead of dying of it.
TEST(Startup, CatchesStopSignalsBeforeItReadsAnything) {
    TempDir dir;  // no k7pieces.txt: the start-up waits for Enter
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(input[0], 0);
        close(input[1]);
        if (chdir(dir.path.c_str()) != 0) _exit(127);
        if (std::freopen("out.txt", "w", stdout) == nullptr) _exit(127);
        execl(TESSALY_BIN, TESSALY_BIN, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(input[0]);
    for (int wait = 0; readFile(dir.file("out.txt")).find("Press enter") == std::string::npos;
         ++wait) {
        ASSERT_LT(wait, 6000) << "the solver never asked for Enter";
        usleep(10'000);
    }
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        EXPECT_TRUE(catchesSignal(pid, signalNumber)) << strsignal(signalNumber);
    kill(pid, SIGTERM);  // taken, so the solver still waits for Enter
    EXPECT_EQ(write(input[1], "\n", 1), 1);
    close(input[1]);
    EXPECT_EQ(waitForExit(pid, 60), 1);
}
