#include "tests/test_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/console.h"
#include "base/random.h"
#include "tools/gen/puzzle_generator.h"

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string simplePieceFileText(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        if (i < 4)
            text += "0 0 1 5\n";
        else if (i < 60)
            text += "9 0 13 2\n";
        else
            text += std::to_string(2 + i % 20) + " 3 4 " + std::to_string(1 + i % 22) + "\n";
    }
    return text;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

CurrentTempDir::CurrentTempDir() : previous(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
}

CurrentTempDir::~CurrentTempDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

ProgramResult runProgram(const std::string& command, const std::string& directory,
                         const std::string& input, int seconds) {
    TempDir io;
    writeFile(io.file("in"), input);
    const std::string line = "cd '" + directory + "' && timeout -k 10 " + std::to_string(seconds) +
                             " " + command + " <'" + io.file("in") + "' >'" + io.file("out") +
                             "' 2>'" + io.file("err") + "'";
    const int raw = std::system(line.c_str());
    ProgramResult result{};
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    result.out = readFile(io.file("out"));
    result.err = readFile(io.file("err"));
    return result;
}

pid_t startProgram(const std::vector<std::string>& arguments, const std::string& directory,
                   const std::string& outPath, const std::string& errPath, bool append,
                   int pendingSignal) {
    // Everything is prepared before the fork: the child only calls what is safe there.
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int flags = O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC);
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(directory.c_str()) != 0) _exit(127);
        if (pendingSignal != 0) {
            sigset_t blocked;
            sigemptyset(&blocked);
            sigaddset(&blocked, pendingSignal);
            sigprocmask(SIG_BLOCK, &blocked, nullptr);
            raise(pendingSignal);
        }
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), flags, 0644);
        const int err = open(errPath.c_str(), flags, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

int waitForExit(pid_t pid, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    for (;;) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (std::chrono::steady_clock::now() >= deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

int stopProgram(pid_t pid, int signal) {
    kill(pid, signal);
    const int status = waitForExit(pid, eventSeconds);
    if (status < 0) {
        kill(pid, SIGKILL);
        waitForExit(pid, eventSeconds);
    }
    return status;
}

ProgramResult runUntil(const std::vector<std::string>& arguments, const std::string& directory,
                       const std::string& text) {
    return runUntil(arguments, directory, [&](const std::string& out, const std::string&) {
        return out.find(text) != std::string::npos;
    });
}

ProgramResult runUntil(const std::vector<std::string>& arguments, const std::string& directory,
                       const OutputDone& done) {
    TempDir io;
    const pid_t pid = startProgram(arguments, directory, io.file("out"), io.file("err"));
    waitUntil([&] { return done(readFile(io.file("out")), readFile(io.file("err"))); });
    ProgramResult result{};
    result.status = stopProgram(pid);
    result.out = readFile(io.file("out"));
    result.err = readFile(io.file("err"));
    return result;
}

bool waitUntil(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

bool waitForFileText(const std::string& path, const std::string& text, double seconds) {
    return waitUntil([&] { return readFile(path).find(text) != std::string::npos; }, seconds);
}

FixedSeeds::FixedSeeds(const char* seeds) {
    setenv(testSeedsVariable, seeds, 1);
}

FixedSeeds::~FixedSeeds() {
    unsetenv(testSeedsVariable);
}

std::string quickBoardPieces() {
    return pieceFileText(generatePuzzle({11, 14, 4}));
}

namespace {
std::string contents(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    return text;
}
}  // namespace

ConsoleCapture::ConsoleCapture()
    : savedOut(process.consoleOut),
      savedErr(process.consoleErr),
      outFile(std::tmpfile()),
      errFile(std::tmpfile()) {
    process.consoleOut = outFile;
    process.consoleErr = errFile;
}

ConsoleCapture::~ConsoleCapture() {
    process.consoleOut = savedOut;
    process.consoleErr = savedErr;
    std::fclose(outFile);
    std::fclose(errFile);
}

std::string ConsoleCapture::out() {
    return contents(outFile);
}
std::string ConsoleCapture::err() {
    return contents(errFile);
}

ProgramResult runStats(const std::string& arguments, const std::string& directory) {
    return runProgram("'" + std::string(TESSALY_STATS_BIN) + "' " + arguments, directory);
}
