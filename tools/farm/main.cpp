// tessaly-farm: runs one solver per processor, each in its own directory, shows their
// combined progress on one status line and stops them all, with saved statistics, on Ctrl-C.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/directory_lock.h"
#include "base/file_reading.h"
#include "base/printable_text.h"
#include "base/program_info.h"
#include "base/settings.h"
#include "puzzle/piece_file.h"
#include "run/groups_file.h"
#include "tools/farm/board_watch.h"
#include "tools/farm/farm_options.h"
#include "tools/farm/instances.h"
#include "tools/farm/supervisor.h"

namespace {

[[noreturn]] void failWith(const std::string& message) {
    runFault("tessaly-farm", message);
}

// Whether the solver refuses `path` for its length, which every instance would pass it; then
// the end of the message that says so.
std::string pathLimitFault(const std::string& path) {
    if (path.size() < pathCapacity) return "";
    return std::to_string(path.size()) + " characters, and the solver takes none longer than " +
           std::to_string(pathCapacity - 1);
}

// The solver program beside this one, as both are built and installed together.
std::string siblingSolver() {
    const std::filesystem::path directory = programDirectory();
    return directory.empty() ? "tessaly" : (directory / "tessaly").string();
}

// How the instances are started, every file they read checked first: a fault in one would end
// every instance.
LaunchPlan checkedPlan(const FarmOptions& options) {
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
        // Every instance is given it by this path.
        const std::string fault = pathLimitFault(plan.boardFile);
        if (!fault.empty())
            failWith("the board file " + plan.boardFile + " has a path of " + fault);
    }
    return plan;
}

// The instances to run: as many as asked for, or one per processor, with a warning when there
// are more than processors.
int instanceCount(const FarmOptions& options) {
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    const int count = options.instances > 0 ? options.instances
                                            : static_cast<int>(processors > 0 ? processors : 1);
    if (processors > 0 && count > processors)
        std::fprintf(stderr,
                     "tessaly-farm: warning: %d instances on %ld %s; they will share %s and "
                     "each will search more slowly\n",
                     count, processors, processors == 1 ? "processor" : "processors",
                     processors == 1 ? "it" : "them");
    return count;
}

// Where instance `number` keeps its files.
std::string instanceDirectory(const FarmOptions& options, int number) {
    return options.directory + "/" + std::to_string(number);
}

// A -d that gives an instance a directory longer than the solver takes would end every
// instance at its start. The last instance's is the longest.
void checkInstancePaths(const FarmOptions& options, const LaunchPlan& plan, int count) {
    const std::string directory = instanceDirectory(options, count);
    std::string path = solverDirectory(directory, plan);
    std::error_code error;
    if (path.empty()) path = std::filesystem::absolute(directory, error).string();
    const std::string fault = pathLimitFault(path);
    if (!fault.empty())
        failWith("-d " + options.directory + " is too long: instance " + std::to_string(count) +
                 " would keep its files in " + path + ", " + fault);
}

}  // namespace

int main(int argc, char** argv) {
    answerHelpOrVersion(argc, argv, farmCommandLine.program, helpText(farmCommandLine).c_str());
    std::string error;
    const std::optional<FarmOptions> parsed =
        parseFarmOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!parsed) usageFault(farmCommandLine, error);
    const FarmOptions& options = *parsed;
    const LaunchPlan plan = checkedPlan(options);
    const int count = instanceCount(options);
    checkInstancePaths(options, plan, count);
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
        instance.directory = instanceDirectory(options, i + 1);
        instance.logPath = instance.directory + "/tessaly.log";
        // The boards of earlier starts are no news.
        noteBoardFiles(instance.boards, instance.directory);
    }
    return superviseFarm(options, plan, instances);
}
