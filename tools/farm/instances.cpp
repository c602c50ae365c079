#include "farm/instances.h"

#include <fcntl.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace {

// Copies the piece file, and the groups file if the start directory has one, beside an
// instance that runs in its own directory, replacing older copies (and removing an older
// groups file), so that the instance searches the pieces and groups of the start directory.
bool copyPuzzleFiles(const LaunchPlan& plan, const std::string& directory, std::string& error) {
    std::error_code fault;
    for (const auto& [from, name] :
         {std::pair{plan.pieceFile, "/k7pieces.txt"}, {plan.groupsFile, "/k7groups.txt"}}) {
        if (from.empty())
            std::filesystem::remove(directory + name, fault);
        else
            std::filesystem::copy_file(from, directory + name,
                                       std::filesystem::copy_options::overwrite_existing, fault);
        if (fault) {
            error = "cannot copy " + from + " to " + directory + ": " + fault.message();
            return false;
        }
    }
    return true;
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

}  // namespace

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

bool startInstance(Instance& instance, const LaunchPlan& plan, std::string& error) {
    if (!makeDirectories(instance.directory, error)) return false;
    if (!plan.boardFile.empty() && !copyPuzzleFiles(plan, instance.directory, error)) return false;
    const int log = open(instance.logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0) {
        error = "cannot open " + instance.logPath + ": " + std::strerror(errno);
        return false;
    }
    markLog(log, instance.number);
    // Everything the child needs is prepared before the fork, so that the child only calls
    // functions that are safe between fork and exec.
    const std::string option = "-o" + instance.directory;
    const std::string& argument = plan.boardFile.empty() ? option : plan.boardFile;
    const char* runIn = plan.boardFile.empty() ? nullptr : instance.directory.c_str();
    const char* arguments[] = {plan.solver.c_str(), argument.c_str(), nullptr};
    [[maybe_unused]] const pid_t farm = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        error = std::string("cannot start a process: ") + std::strerror(errno);
        close(log);
        return false;
    }
    if (pid == 0) {
        setpgid(0, 0);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGINT, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        signal(SIGHUP, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);
#ifdef __linux__
        // Should the farm itself be killed, the instance is asked to save and end.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != farm) _exit(125);
#endif
        const int input = open("/dev/null", O_RDONLY);
        if (input >= 0) dup2(input, 0);
        dup2(log, 1);
        dup2(log, 2);
        if (runIn != nullptr && chdir(runIn) != 0) _exit(126);
        execv(arguments[0], const_cast<char* const*>(arguments));
        const char message[] = "tessaly-farm: cannot run the solver\n";
        if (write(2, message, sizeof message - 1) < 0) _exit(127);
        _exit(127);
    }
    setpgid(pid, pid);  // also from the parent, so it holds before any signal is passed on
    close(log);
    instance.pid = pid;
    return true;
}

void signalInstance(const Instance& instance, int signalNumber) {
    if (instance.pid > 0) kill(instance.pid, signalNumber);
}

std::string endText(int waitStatus) {
    if (WIFSIGNALED(waitStatus)) return "signal " + std::to_string(WTERMSIG(waitStatus));
    return "status " + std::to_string(WEXITSTATUS(waitStatus));
}
