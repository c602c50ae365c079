#include "tools/farm/instances.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "base/child_processes.h"
#include "base/file_reading.h"
#include "base/stop_signals.h"
#include "base/whole_files.h"
#include "puzzle/piece_file.h"
#include "run/groups_file.h"

namespace {

// The largest piece file or groups file copied: the solver reads no more than 256 lines of 48
// characters of the one, and refuses a larger groups file.
constexpr std::size_t largestCopy = 1 << 20;

// Copies the piece file, and the groups file if the start directory has one, beside an
// instance that runs in its own directory, replacing older copies (and removing an older
// groups file), so that the instance searches the pieces and groups of the start directory.
// Each is read as a regular file of at most largestCopy bytes and written whole: whatever
// stands under the name in the instance directory, a link among them, is replaced and never
// written through.
bool copyPuzzleFiles(const LaunchPlan& plan, const std::string& directory, std::string& error) {
    for (const auto& [from, name] : {std::pair{plan.pieceFile, std::string("/") + pieceFileName},
                                     {plan.groupsFile, std::string("/") + groupsFileName}}) {
        const std::string to = directory + name;
        if (from.empty()) {
            std::error_code fault;
            std::filesystem::remove(to, fault);
            if (!fault) continue;
            error = "cannot remove " + to + ": " + fault.message();
            return false;
        }
        std::string text;
        const FileReading reading = readRegularFile(from.c_str(), largestCopy, text);
        if (reading.fault != FileReading::none) {
            error = "cannot copy " + from + ": it " + readingProblem(reading);
            return false;
        }
        const int fault = writeWholeFile(to.c_str(), text, Existing::replace, false);
        if (fault != 0) {
            error = "cannot copy " + from + " to " + to + ": " + std::strerror(fault);
            return false;
        }
    }
    return true;
}

// Opens the log at `path` to append to it: never through a link planted under the name, and
// only when it is a regular file, since a FIFO there would block the farm. The descriptor, or
// -1 with `error` set.
int openLog(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(),
                        O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    struct stat status {};
    if (fd >= 0 && fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) return fd;
    error =
        "cannot open " + path + ": " +
        (fd < 0 ? std::string(std::strerror(errno))
                : std::string("it is ") + fileTypeName(status.st_mode) + ", not a regular file");
    if (fd >= 0) close(fd);
    return -1;
}

// Appends a line that marks where this start of the instance begins in its log.
void markLog(int descriptor, int number) {
    char stamp[64];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    char line[128];
    const int length = std::snprintf(
        line, sizeof line, "\n=== tessaly-farm starts instance %d at %s ===\n", number, stamp);
    if (length > 0 && write(descriptor, line, static_cast<std::size_t>(length)) < 0) return;
}

// In the child of the fork: its own process group, the stop signals as the solver expects
// them, no input, `output` as its output and error streams, then the solver; never returns.
[[noreturn]] void becomeSolver(const char* const* arguments, const char* runIn, int output,
                               const sigset_t& stops) {
    setpgid(0, 0);
    for (const int signalNumber : stopSignalNumbers)
        signal(signalNumber, SIG_DFL);
    signal(SIGPIPE, SIG_DFL);
    // The stops stay held across the exec: the solver lets them in once its own handlers are in
    // place, so a stop that comes while it starts still ends it with a save.
    sigprocmask(SIG_SETMASK, &stops, nullptr);
    const int input = open("/dev/null", O_RDONLY);
    if (input >= 0) dup2(input, 0);
    dup2(output, 1);
    dup2(output, 2);
    if (runIn != nullptr && chdir(runIn) != 0) _exit(126);
    execv(arguments[0], const_cast<char* const*>(arguments));
    const char message[] = "tessaly-farm: cannot run the solver\n";
    if (write(2, message, sizeof message - 1) < 0) _exit(127);
    _exit(127);
}

// Forks the solver of `instance`, writing to `output`: its process id, or -1 with the fork's
// errno in `forkError`.
pid_t forkSolver(const Instance& instance, const LaunchPlan& plan, int output, int& forkError) {
    // Everything the child needs is prepared before the fork, so that the child only calls
    // functions that are safe between fork and exec.
    const std::string option = "-o" + instance.directory;
    const std::string& argument = plan.boardFile.empty() ? option : plan.boardFile;
    const char* runIn = plan.boardFile.empty() ? nullptr : instance.directory.c_str();
    const char* arguments[] = {plan.solver.c_str(), argument.c_str(), nullptr};
    // A stop that arrives during the fork waits until the farm's handler is back in charge,
    // and never reaches the child's copy of that handler.
    const sigset_t stops = stopSignalSet();
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &stops, &previous);
    // Should the farm itself be killed, the instance is asked to save and end.
    const pid_t pid = forkBoundChild(SIGTERM);
    if (pid == 0) becomeSolver(arguments, runIn, output, stops);
    forkError = errno;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return pid;
}
}  // namespace

std::string solverDirectory(const std::string& directory, const LaunchPlan& plan) {
    std::error_code error;
    if (!plan.boardFile.empty()) {
        const std::filesystem::path path =
            std::filesystem::weakly_canonical(std::filesystem::absolute(directory, error), error);
        return error ? std::string() : path.string();
    }
    if (directory.starts_with('/')) return directory;
    const std::filesystem::path here = std::filesystem::current_path(error);
    return error ? std::string() : here.string() + "/" + directory;
}

bool makeDirectories(const std::string& path, std::string& error) {
    std::error_code fault;
    std::filesystem::create_directories(path, fault);
    if (fault || !std::filesystem::is_directory(path)) {
        error = "cannot create directory " + path +
                (fault ? ": " + fault.message() : std::string(": not a directory"));
        return false;
    }
    return true;
}

bool makeInstanceDirectory(const std::string& path, std::string& error) {
    if (!makeDirectories(path, error)) return false;
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        error = "cannot use " + path +
                ": it is a symbolic link; an instance keeps its files in a directory of its own";
        return false;
    }
    return true;
}

bool startInstance(Instance& instance, const LaunchPlan& plan, std::string& error) {
    if (!makeInstanceDirectory(instance.directory, error)) return false;
    if (!plan.boardFile.empty() && !copyPuzzleFiles(plan, instance.directory, error)) return false;
    const int log = openLog(instance.logPath, error);
    if (log < 0) return false;
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) {
        error = std::string("cannot open a pipe: ") + std::strerror(errno);
        close(log);
        return false;
    }
    markLog(log, instance.number);
    int forkError = 0;
    const pid_t pid = forkSolver(instance, plan, output[1], forkError);
    close(output[1]);
    if (pid < 0) {
        error = std::string("cannot start a process: ") + std::strerror(forkError);
        close(output[0]);
        close(log);
        return false;
    }
    setpgid(pid, pid);  // also from the parent, so it holds before any signal is passed on
    fcntl(output[0], F_SETFL, O_NONBLOCK);
    instance.pid = pid;
    instance.output = output[0];
    instance.logFile = log;
    instance.log = {};
    instance.log.directory = solverDirectory(instance.directory, plan);
    return true;
}

std::vector<BoardNews> relayOutput(Instance& instance, std::string& problem) {
    std::vector<BoardNews> news;
    char buffer[4096];
    while (instance.output >= 0) {
        const ssize_t n = read(instance.output, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;  // nothing more for now
        if (n == 0) {
            close(instance.output);
            close(instance.logFile);
            instance.output = instance.logFile = -1;
            for (BoardNews& item : endLogText(instance.log))
                news.push_back(std::move(item));
            break;
        }
        const std::string text(buffer, static_cast<std::size_t>(n));
        if (write(instance.logFile, text.data(), text.size()) != n && !instance.logFailed) {
            instance.logFailed = true;
            problem = "cannot write " + instance.logPath + ": " + std::strerror(errno) +
                      "; the boards of instance " + std::to_string(instance.number) +
                      " are still announced here";
        }
        for (BoardNews& item : scanLogText(instance.log, text))
            news.push_back(std::move(item));
    }
    return news;
}

bool canTakeStop(pid_t pid) {
    const std::string process = "/proc/" + std::to_string(pid);
    // Until it has run the solver the child is a copy of the farm, with the farm's handlers.
    struct stat farm {};
    struct stat child {};
    if (stat("/proc/self/exe", &farm) == 0 && stat((process + "/exe").c_str(), &child) == 0 &&
        farm.st_dev == child.st_dev && farm.st_ino == child.st_ino)
        return false;
    std::string text;
    const std::string path = process + "/status";
    if (readRegularFile(path.c_str(), 1 << 16, text).fault != FileReading::none) return true;
    const std::size_t at = text.find("\nSigCgt:");
    if (at == std::string::npos) return true;
    const unsigned long long caught = std::strtoull(text.c_str() + at + 8, nullptr, 16);
    return (caught >> (SIGTERM - 1) & 1) != 0;
}

void signalInstance(const Instance& instance, int signalNumber) {
    if (instance.pid > 0) kill(instance.pid, signalNumber);
}

bool savedAtEnd(int waitStatus) {
    return WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0;
}

std::string endText(int waitStatus) {
    if (WIFSIGNALED(waitStatus)) return "signal " + std::to_string(WTERMSIG(waitStatus));
    return "status " + std::to_string(WEXITSTATUS(waitStatus));
}
