// Fuzz target: the groups file k7groups.txt. A file is either refused with its name and a line
// or rule in the message, or read as groups that keep every rule and write back to themselves
// (the rim look-ahead included).
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_support.h"
#include "run/group_rules.h"
#include "run/groups_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = memoryFile(data, size);
    RunGroups groups;
    groups.rules = StepRules::noGroupsKeepingDeepest;
    const std::string fault = readGroupsFile(path, groups);
    if (!fault.empty()) {
        require(fault.rfind("Groups file " + path, 0) == 0, "a fault that does not name the file");
        require(groups.rules == StepRules::noGroupsKeepingDeepest, "a refused file changed groups");
        return 0;
    }
    require(groups.source == path, "read groups without their source");
    if (groups.rules == StepRules::noGroups) {
        RunGroups again;
        require(parseGroups(groupsFileText(groups, {}), "again", again).empty() &&
                    again.rules == StepRules::noGroups && again.options == groups.options,
                "rules off that do not read back as themselves");
        return 0;
    }
    require(groups.rules == StepRules::groups, "read groups under other rules");
    const std::span<const std::uint8_t> pieces(groups.pieces);
    for (const PieceGroup& group : groups.table)
        require(checkGroup(pieces.subspan(group.firstStart, group.firstCount),
                           pieces.subspan(group.secondStart, group.secondCount))
                        .rule == GroupRule::kept,
                "a group read that breaks a rule");
    RunGroups again;
    require(parseGroups(groupsFileText(groups, {"again"}), "again", again).empty() &&
                again.table == groups.table && again.pieces == groups.pieces &&
                again.options == groups.options,
            "groups that do not read back as themselves");
    return 0;
}
