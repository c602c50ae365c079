// tessaly-farm: runs one solver per processor, each in its own directory, shows their
// combined progress on one status line and stops them all, with saved statistics, on Ctrl-C.
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/clocks.h"
#include "base/directory_lock.h"
#include "base/file_reading.h"
#include "base/printable_text.h"
#include "base/program_info.h"
#include "base/stop_signals.h"
#include "puzzle/piece_file.h"
#include "run/groups_file.h"
#include "tools/farm/board_watch.h"
#include "tools/farm/farm_options.h"
#include "tools/farm/farm_page.h"
#include "tools/farm/farm_status.h"
#include "tools/farm/instances.h"

namespace {

constexpr int restartDelaySeconds = 2;
// An instance that ran this long before it ended has its restart count set back to zero, so
// that crashes months apart never retire it.
constexpr long wellRunSeconds = 3600;

volatile std::sig_atomic_t stopSignals = 0;
std::atomic<std::int64_t> firstStopMs{0};
static_assert(std::atomic<std::int64_t>::is_always_lock_free, "used in a signal handler");

// Counts the stops the farm is asked for. Copies of the first that arrive within a second
// (`timeout` and service managers signal the process and then its group) are the same stop,
// as the solver takes them, and are not passed on.
extern "C" void onStopSignal(int) {
    const std::int64_t now = monotonicMs();
    if (stopSignals > 0 && isSameStop(firstStopMs.load(), now)) return;
    if (stopSignals == 0) firstStopMs.store(now);
    stopSignals = stopSignals + 1;
}

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A closed terminal stops the instances in order too, rather than leaving them running.
    sigaction(SIGHUP, &action, nullptr);
    // Output into a pipe whose reader has gone must not end the farm before its instances.
    signal(SIGPIPE, SIG_IGN);
    // A stop reaches the farm even when whatever started it had blocked the stop signals; one
    // already pending is taken now, before any instance starts.
    const sigset_t stops = stopSignalSet();
    sigprocmask(SIG_UNBLOCK, &stops, nullptr);
}

// Stops the farm as a stop signal does, when it cannot go on.
void stopFromWithin() {
    const sigset_t stops = stopSignalSet();
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &stops, &previous);
    onStopSignal(SIGTERM);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

[[noreturn]] void failWith(const std::string& message) {
    runFault("tessaly-farm", message);
}

// The solver program beside this one, as both are built and installed together.
std::string siblingSolver() {
    const std::filesystem::path directory = programDirectory();
    return directory.empty() ? "tessaly" : (directory / "tessaly").string();
}

// The terminal rows a line of `length` characters takes on standard output: more than one
// when it is wider than the terminal.
int terminalRows(std::size_t length) {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return 1;
    return static_cast<int>(std::max<std::size_t>(1, (length + size.ws_col - 1) / size.ws_col));
}

// The console: a status line that is redrawn in place on a terminal, all the rows it takes
// when it is wider than the terminal, or printed as a line of its own elsewhere; messages go
// above it, one line each, their control characters escaped, so that no name can end a line,
// fake another or reach the terminal as an escape sequence.
struct Console {
    bool terminal = isatty(STDOUT_FILENO) != 0;
    int statusRows = 0;  // the rows of the status line shown, 0 when none is

    // Back to the first row of the status line shown, and the screen cleared from there.
    void clearStatus() {
        if (statusRows > 1) std::printf("\033[%dA", statusRows - 1);
        if (statusRows > 0) std::fputs("\r\033[J", stdout);
        statusRows = 0;
    }
    void message(const std::string& text) {
        clearStatus();
        std::printf("%s\n", printableText(text).c_str());
        std::fflush(stdout);
    }
    void status(const std::string& text) {
        if (terminal) {
            clearStatus();
            std::printf("%s", text.c_str());
            statusRows = terminalRows(text.size());
        } else {
            std::printf("%s\n", text.c_str());
        }
        std::fflush(stdout);
    }
    void finish() {
        if (statusRows > 0) std::fputs("\n", stdout);
        statusRows = 0;
        std::fflush(stdout);
    }
};

long secondsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count());
}

// "farm/1 to farm/3", or "farm/1" for one instance.
std::string instanceRange(const std::string& directory, int count) {
    return directory + "/1" + (count > 1 ? " to " + directory + "/" + std::to_string(count) : "");
}

std::vector<std::string> directoriesOf(const std::vector<Instance>& instances) {
    std::vector<std::string> directories;
    for (const Instance& instance : instances)
        directories.push_back(instance.directory);
    return directories;
}

}  // namespace

int main(int argc, char** argv) {
    answerHelpOrVersion(argc, argv, farmCommandLine.program, helpText(farmCommandLine).c_str());
    std::string error;
    const std::optional<FarmOptions> parsed =
        parseFarmOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!parsed) usageFault(farmCommandLine, error);
    const FarmOptions& options = *parsed;

    LaunchPlan plan;
    plan.solver = options.solver.empty() ? siblingSolver() : options.solver;
    if (access(plan.solver.c_str(), X_OK) != 0)
        failWith("cannot run the solver " + plan.solver + " (use --solver PROGRAM)");
    plan.pieceFile = std::filesystem::absolute(pieceFileName).string();
    // Only a regular file: a FIFO would hang every instance, and the copies of board-file mode.
    FileReading pieces;
    if (std::FILE* file = openRegularFile(pieceFileName, pieces)) std::fclose(file);
    if (pieces.fault == FileReading::notRegular)
        failWith(plan.pieceFile + " " + readingProblem(pieces));
    if (pieces.fault != FileReading::none)
        failWith("no readable k7pieces.txt in " + std::filesystem::current_path().string() +
                 "; start tessaly-farm in the directory that holds the pieces");
    // The instances read the groups file too; a faulty one would end every one of them.
    std::error_code absent;
    if (std::filesystem::exists(std::filesystem::symlink_status(groupsFileName, absent))) {
        plan.groupsFile = std::filesystem::absolute(groupsFileName).string();
        RunGroups groups;
        const std::string fault = readGroupsFile(plan.groupsFile, groups);
        if (!fault.empty()) failWith(fault);
    }
    if (!options.boardFile.empty()) {
        FileReading board;
        if (std::FILE* file = openRegularFile(options.boardFile.c_str(), board)) std::fclose(file);
        if (board.fault != FileReading::none)
            failWith("cannot read the board file " + options.boardFile + ": it " +
                     readingProblem(board));
        plan.boardFile = std::filesystem::absolute(options.boardFile).string();
    }

    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    const int count = options.instances > 0 ? options.instances
                                            : static_cast<int>(processors > 0 ? processors : 1);
    if (processors > 0 && count > processors)
        std::fprintf(stderr,
                     "tessaly-farm: warning: %d instances on %ld processors; they will share "
                     "them and each will search more slowly\n",
                     count, processors);
    if (!makeDirectories(options.directory, error)) failWith(error);
    // A second farm on the same directory would start a second solver in every instance's
    // directory; it refuses before it changes anything.
    const DirectoryLock lock = lockDirectory(options.directory);
    if (lock.error == EWOULDBLOCK) {
        std::fprintf(stderr, "tessaly-farm: %s\n",
                     printableText(lockRefusal(options.directory, lock)).c_str());
        return runFaultStatus;
    }
    if (lock.error != 0)
        std::fprintf(stderr,
                     "tessaly-farm: warning: cannot lock %s/%s (%s); a second farm there would "
                     "not be noticed\n",
                     printableText(options.directory).c_str(), lockFileName,
                     std::strerror(lock.error));

    std::vector<Instance> instances(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Instance& instance = instances[static_cast<std::size_t>(i)];
        instance.number = i + 1;
        instance.directory = options.directory + "/" + std::to_string(i + 1);
        instance.logPath = instance.directory + "/tessaly.log";
        // The boards of earlier starts are no news.
        noteBoardFiles(instance.boards, instance.directory);
    }

    catchStopSignals();
    Console console;
    const std::vector<std::string> directories = directoriesOf(instances);
    const FarmTotals atStart = readFarmTotals(directories, plan.pieceFile);
    const auto start = std::chrono::steady_clock::now();
    FarmRecord record = startFarmRecord(options.directory, options.pagePath,
                                        {plan.pieceFile, plan.groupsFile, plan.boardFile});
    for (const std::string& problem : record.historyProblems)
        console.message("tessaly-farm: " + problem);
    // A page that cannot be written is found out before any instance starts.
    if (!options.pagePath.empty()) {
        const std::string problem = writeFarmPage(record, directories);
        if (!problem.empty()) failWith(problem);
    }

    console.message("tessaly-farm: " + std::to_string(count) + " instances of " + plan.solver +
                    ", in " + instanceRange(options.directory, count) + "; Ctrl-C stops them all");
    // The instances 1 to `started` have been started.
    int started = 0;
    // Why the farm stopped on its own: an instance it could not start.
    std::string startFailure;
    for (Instance& instance : instances) {
        // Nothing is started once a stop is pending; the loop below passes it on.
        if (stopSignals > 0) break;
        if (!startInstance(instance, plan, error)) {
            // Those already started are stopped as by a Ctrl-C, and their saves waited for.
            startFailure =
                "instance " + std::to_string(instance.number) + " could not be started: " + error;
            console.message("tessaly-farm: " + startFailure);
            stopFromWithin();
            break;
        }
        ++started;
        instance.startedAt = secondsSince(start);
        console.message("instance " + std::to_string(instance.number) + ": pid " +
                        std::to_string(instance.pid) + ", log " + instance.logPath);
    }

    // The instances that ended after the stop without saying that their statistics are saved.
    std::vector<std::string> unsaved;
    const auto announce = [&console](const Instance& instance, const std::vector<BoardNews>& news) {
        const std::string name = "instance " + std::to_string(instance.number);
        for (const BoardNews& item : news) {
            if (item.saved) {
                console.message(name + (item.perfect ? ": PERFECT BOARD " : ": new record ") +
                                instance.directory + "/" + item.fileName);
                continue;
            }
            // An unsaved board is shown whole here, since its log may be on the same full disk.
            for (std::size_t i = 0; i < item.lines.size(); ++i)
                console.message(i == 0 ? name + ": BOARD NOT SAVED. " + item.lines[i]
                                       : item.lines[i]);
        }
    };
    // What an instance printed goes to its log; its boards are announced: those it could not
    // save from what it printed, those it saved from the files in its directory.
    const auto relay = [&](Instance& instance) {
        std::string problem;
        std::vector<BoardNews> news = relayOutput(instance, problem);
        if (!problem.empty()) console.message("tessaly-farm: " + problem);
        for (BoardNews& item : newBoardFiles(instance.boards, instance.directory))
            news.push_back(std::move(item));
        announce(instance, news);
    };

    int stopsPassedOn = 0;
    long nextStatus = 0;
    for (;;) {
        const long now = secondsSince(start);
        const bool stopping = stopSignals > 0;
        if (stopSignals > stopsPassedOn) {
            // Every stop the farm receives is passed on once to every instance: the first
            // makes each save its statistics and end, a second makes each end at once.
            stopsPassedOn = stopSignals;
            console.message(stopsPassedOn == 1
                                ? "Stopping: every instance saves its statistics and ends"
                                : "Stopping at once");
            for (const Instance& instance : instances)
                signalInstance(instance, SIGTERM);
        }

        int waitStatus = 0;
        for (pid_t pid; (pid = waitpid(-1, &waitStatus, WNOHANG)) > 0;) {
            for (Instance& instance : instances) {
                if (instance.pid != pid) continue;
                instance.pid = -1;
                relay(instance);  // all it printed, up to its end
                const std::string name = "instance " + std::to_string(instance.number);
                if (stopping) {
                    // Only status 0 means that its last save succeeded.
                    if (!WIFEXITED(waitStatus) || WEXITSTATUS(waitStatus) != 0) {
                        console.message(
                            name + " ended with " + endText(waitStatus) +
                            ": its statistics may not be saved; its log: " + instance.logPath);
                        unsaved.push_back(name);
                    }
                    break;
                }
                if (now - instance.startedAt >= wellRunSeconds) instance.restarts = 0;
                std::string text = name + " (pid " + std::to_string(pid) + ") ended with " +
                                   endText(waitStatus) + "; its log: " + instance.logPath;
                if (instance.restarts < options.restartLimit) {
                    ++instance.restarts;
                    instance.restartAt = now + restartDelaySeconds;
                    text += "; restarting it (" + std::to_string(instance.restarts) + " of " +
                            std::to_string(options.restartLimit) + ")";
                } else {
                    instance.retired = true;
                    text += "; not restarting it again";
                }
                instance.unsavedEnd =
                    (instance.retired ? "retired after " : "ended with ") + endText(waitStatus);
                console.message(text);
                break;
            }
        }

        int alive = 0;
        for (Instance& instance : instances) {
            if (!stopping && instance.pid < 0 && !instance.retired && now >= instance.restartAt) {
                if (startInstance(instance, plan, error)) {
                    instance.unsavedEnd.clear();
                    instance.startedAt = now;
                    console.message("instance " + std::to_string(instance.number) +
                                    ": restarted, pid " + std::to_string(instance.pid));
                } else {
                    instance.retired = true;
                    console.message("instance " + std::to_string(instance.number) + ": " + error);
                    instance.unsavedEnd = "retired: it could not be restarted";
                }
            }
            if (instance.pid > 0) ++alive;
            relay(instance);
        }

        const bool finished = alive == 0 && (stopping || [&] {
                                  for (const Instance& instance : instances)
                                      if (!instance.retired) return false;
                                  return true;
                              }());
        if (now >= nextStatus || finished) {
            const FarmTotals totals = readFarmTotals(directories, plan.pieceFile);
            // In floating point: the totals come from files and may lie at the 64-bit limits.
            const double gained =
                static_cast<double>(totals.nodes) - static_cast<double>(atStart.nodes);
            const double rate = now > 0 ? gained / static_cast<double>(now) : 0.0;
            console.status(farmStatusLine(now, alive, count, totals, rate));
            const std::string problem =
                recordRefresh(record, directories, historyPoint(std::time(nullptr), totals));
            if (!problem.empty()) console.message("tessaly-farm: " + problem);
            nextStatus = now + options.statusSeconds;
        }
        if (finished) {
            console.finish();
            if (!stopping) {
                console.message("tessaly-farm: every instance ended too often; see their logs");
                return runFaultStatus;
            }
            // Those that ended on their own before the stop saved nothing at their end either.
            for (const Instance& instance : instances)
                if (!instance.unsavedEnd.empty())
                    unsaved.push_back("instance " + std::to_string(instance.number) + " (" +
                                      instance.unsavedEnd + ")");
            if (!unsaved.empty()) {
                std::string names;
                for (const std::string& name : unsaved)
                    names += (names.empty() ? "" : ", ") + name;
                console.message(
                    "tessaly-farm: all instances have ended, but not every one saved "
                    "its statistics: " +
                    names + "; see their logs");
            } else if (started > 0) {
                console.message("All instances have ended; their statistics are in " +
                                instanceRange(options.directory, started));
            } else if (startFailure.empty()) {
                console.message("Stopped before any instance was started");
            }
            if (!startFailure.empty())
                console.message("tessaly-farm: stopped because " + startFailure);
            return unsaved.empty() && startFailure.empty() ? 0 : runFaultStatus;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
}
