#include "tools/farm/supervisor.h"

#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include "base/clocks.h"
#include "base/printable_text.h"
#include "base/program_info.h"
#include "base/stop_signals.h"
#include "tools/farm/board_watch.h"
#include "tools/farm/farm_page.h"
#include "tools/farm/farm_status.h"

namespace {

constexpr int restartDelaySeconds = 2;
// An instance that ran this long before it ended has its restart count set back to zero, so
// that crashes months apart never retire it.
constexpr long wellRunSeconds = 3600;
// The longest a stop waits for an instance to be able to take it.
constexpr long stopWaitSeconds = 10;

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

std::string instanceName(const Instance& instance) {
    return "instance " + std::to_string(instance.number);
}

class Supervisor {
public:
    Supervisor(const FarmOptions& options, const LaunchPlan& plan, std::vector<Instance>& instances)
        : options_(options),
          plan_(plan),
          instances_(instances),
          count_(static_cast<int>(instances.size())),
          directories_(directoriesOf(instances)),
          atStart_(readFarmTotals(directories_, plan.pieceFile)),
          record_(startFarmRecord(options.directory, options.pagePath,
                                  {plan.pieceFile, plan.groupsFile, plan.boardFile})) {}

    int run() {
        for (const std::string& problem : record_.historyProblems)
            console_.message("tessaly-farm: " + problem);
        // A page that cannot be written is found out before any instance starts.
        if (!options_.pagePath.empty()) {
            const std::string problem = writeFarmPage(record_, directories_);
            if (!problem.empty()) runFault("tessaly-farm", problem);
        }
        console_.message("tessaly-farm: " + std::to_string(count_) +
                         (count_ == 1 ? " instance of " : " instances of ") + plan_.solver +
                         ", in " + instanceRange(options_.directory, count_) +
                         "; Ctrl-C stops them all");
        startAll();
        for (;;) {
            const long now = secondsSince(start_);
            // Decided once the stops are passed on: no instance is restarted after that.
            passOnStops(now);
            const bool stopping = stopsPassedOn_ > 0;
            collectEnded(now, stopping);
            const int alive = restartAndRelay(now, stopping);
            const bool finished = alive == 0 && (stopping || allRetired());
            if (now >= nextStatus_ || finished) refresh(now, alive);
            if (finished) return end(stopping);
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
    }

private:
    void startAll() {
        std::string error;
        for (Instance& instance : instances_) {
            // Nothing is started once a stop is pending; the loop passes it on.
            if (stopSignals > 0) break;
            if (!startInstance(instance, plan_, error)) {
                // Those already started are stopped as by a Ctrl-C, and their saves waited for.
                startFailure_ = instanceName(instance) + " could not be started: " + error;
                console_.message("tessaly-farm: " + startFailure_);
                stopFromWithin();
                break;
            }
            ++started_;
            instance.startedAt = secondsSince(start_);
            console_.message(instanceName(instance) + ": pid " + std::to_string(instance.pid) +
                             ", log " + instance.logPath);
        }
    }

    // Every stop the farm receives is passed on once to every instance: the first makes each
    // save its statistics and end, a second makes each end at once. The first reaches an
    // instance only once it can take it, as its solver may have only just started; one that
    // does not show that within stopWaitSeconds gets it then.
    void passOnStops(long now) {
        if (stopSignals > stopsPassedOn_) {
            stopsPassedOn_ = stopSignals;
            console_.message(stopsPassedOn_ == 1
                                 ? "Stopping: every instance saves its statistics and ends"
                                 : "Stopping at once");
            for (Instance& instance : instances_)
                instance.stopSince = stopsPassedOn_ == 1 ? now : -1;
            if (stopsPassedOn_ > 1)
                for (const Instance& instance : instances_)
                    signalInstance(instance, SIGTERM);
        }
        for (Instance& instance : instances_) {
            if (instance.stopSince < 0 || instance.pid < 0) continue;
            if (now - instance.stopSince < stopWaitSeconds && !canTakeStop(instance.pid)) continue;
            signalInstance(instance, SIGTERM);
            instance.stopSince = -1;
        }
    }

    void announce(const Instance& instance, const std::vector<BoardNews>& news) {
        const std::string name = instanceName(instance);
        for (const BoardNews& item : news) {
            if (item.saved) {
                console_.message(name + (item.perfect ? ": PERFECT BOARD " : ": new record ") +
                                 instance.directory + "/" + item.fileName);
                continue;
            }
            // An unsaved board is shown whole here, since its log may be on the same full disk.
            for (std::size_t i = 0; i < item.lines.size(); ++i)
                console_.message(i == 0 ? name + ": BOARD NOT SAVED. " + item.lines[i]
                                        : item.lines[i]);
        }
    }

    // What an instance printed goes to its log; its boards are announced: those it could not
    // save from what it printed, those it saved from the files in its directory.
    void relay(Instance& instance) {
        std::string problem;
        std::vector<BoardNews> news = relayOutput(instance, problem);
        if (!problem.empty()) console_.message("tessaly-farm: " + problem);
        for (BoardNews& item : newBoardFiles(instance.boards, instance.directory))
            news.push_back(std::move(item));
        announce(instance, news);
    }

    void collectEnded(long now, bool stopping) {
        int waitStatus = 0;
        for (pid_t pid; (pid = waitpid(-1, &waitStatus, WNOHANG)) > 0;) {
            const auto instance = std::find_if(instances_.begin(), instances_.end(),
                                               [pid](const Instance& i) { return i.pid == pid; });
            if (instance == instances_.end()) continue;
            instance->pid = -1;
            relay(*instance);  // all it printed, up to its end
            if (stopping)
                noteEndAfterStop(*instance, waitStatus);
            else
                noteEndOnItsOwn(*instance, pid, waitStatus, now);
        }
    }

    void noteEndAfterStop(const Instance& instance, int waitStatus) {
        if (savedAtEnd(waitStatus)) return;
        const std::string name = instanceName(instance);
        console_.message(name + " ended with " + endText(waitStatus) +
                         ": its statistics may not be saved; its log: " + instance.logPath);
        unsaved_.push_back(name);
    }

    void noteEndOnItsOwn(Instance& instance, pid_t pid, int waitStatus, long now) {
        if (now - instance.startedAt >= wellRunSeconds) instance.restarts = 0;
        std::string text = instanceName(instance) + " (pid " + std::to_string(pid) +
                           ") ended with " + endText(waitStatus) + "; its log: " + instance.logPath;
        if (instance.restarts < options_.restartLimit) {
            ++instance.restarts;
            instance.restartAt = now + restartDelaySeconds;
            text += "; restarting it (" + std::to_string(instance.restarts) + " of " +
                    std::to_string(options_.restartLimit) + ")";
        } else {
            instance.retired = true;
            text += "; not restarting it again";
        }
        // One stopped from outside, which saved as it ended, is no instance without a save.
        instance.unsavedEnd =
            savedAtEnd(waitStatus)
                ? ""
                : (instance.retired ? "retired after " : "ended with ") + endText(waitStatus);
        console_.message(text);
    }

    // Restarts the instances that are due, relays what each printed; the instances alive.
    int restartAndRelay(long now, bool stopping) {
        int alive = 0;
        std::string error;
        for (Instance& instance : instances_) {
            if (!stopping && instance.pid < 0 && !instance.retired && now >= instance.restartAt) {
                if (startInstance(instance, plan_, error)) {
                    instance.unsavedEnd.clear();
                    instance.startedAt = now;
                    console_.message(instanceName(instance) + ": restarted, pid " +
                                     std::to_string(instance.pid));
                } else {
                    instance.retired = true;
                    console_.message(instanceName(instance) + ": " + error);
                    instance.unsavedEnd = "retired: it could not be restarted";
                }
            }
            if (instance.pid > 0) ++alive;
            relay(instance);
        }
        return alive;
    }

    bool allRetired() const {
        return std::all_of(instances_.begin(), instances_.end(),
                           [](const Instance& instance) { return instance.retired; });
    }

    void refresh(long now, int alive) {
        const FarmTotals totals = readFarmTotals(directories_, plan_.pieceFile);
        // In floating point: the totals come from files and may lie at the 64-bit limits.
        const double gained =
            static_cast<double>(totals.nodes) - static_cast<double>(atStart_.nodes);
        const double rate = now > 0 ? gained / static_cast<double>(now) : 0.0;
        console_.status(farmStatusLine(now, alive, count_, totals, rate));
        for (const std::string& problem :
             recordRefresh(record_, directories_, historyPoint(std::time(nullptr), totals)))
            console_.message("tessaly-farm: " + problem);
        nextStatus_ = now + options_.statusSeconds;
    }

    // The last messages, once every instance has ended; the exit status.
    int end(bool stopping) {
        console_.finish();
        if (!stopping) {
            console_.message("tessaly-farm: every instance ended too often; see their logs");
            return runFaultStatus;
        }
        // Those that ended on their own before the stop saved nothing at their end either.
        for (const Instance& instance : instances_)
            if (!instance.unsavedEnd.empty())
                unsaved_.push_back(instanceName(instance) + " (" + instance.unsavedEnd + ")");
        if (!unsaved_.empty()) {
            std::string names;
            for (const std::string& name : unsaved_)
                names.append(names.empty() ? "" : ", ").append(name);
            console_.message(
                "tessaly-farm: all instances have ended, but not every one saved its "
                "statistics: " +
                names + "; see their logs");
        } else if (started_ > 0) {
            console_.message("All instances have ended; their statistics are in " +
                             instanceRange(options_.directory, started_));
        } else if (startFailure_.empty()) {
            console_.message("Stopped before any instance was started");
        }
        if (!startFailure_.empty())
            console_.message("tessaly-farm: stopped because " + startFailure_);
        return unsaved_.empty() && startFailure_.empty() ? 0 : runFaultStatus;
    }

    const FarmOptions& options_;
    const LaunchPlan& plan_;
    std::vector<Instance>& instances_;
    const int count_;
    Console console_;
    const std::vector<std::string> directories_;
    const FarmTotals atStart_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    FarmRecord record_;
    int started_ = 0;           // the instances 1 to started_ have been started
    std::string startFailure_;  // why the farm stopped on its own: an instance it could not start
    // The instances that ended after the stop without saying that their statistics are saved.
    std::vector<std::string> unsaved_;
    int stopsPassedOn_ = 0;
    long nextStatus_ = 0;
};

}  // namespace

int superviseFarm(const FarmOptions& options, const LaunchPlan& plan,
                  std::vector<Instance>& instances) {
    catchStopSignals();
    return Supervisor(options, plan, instances).run();
}
