#include "tools/groups/groups_writing.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/file_reading.h"
#include "base/printable_text.h"
#include "base/whole_files.h"

namespace {

// "the word rim-look-ahead", "the words rim-look-ahead and scarcity=-400".
std::string wordList(const std::vector<std::string>& words) {
    std::string text = words.size() == 1 ? "the word " : "the words ";
    for (std::size_t i = 0; i < words.size(); ++i)
        text.append(i == 0 ? "" : i + 1 == words.size() ? " and " : ", ").append(words[i]);
    return text;
}

}  // namespace

std::string writeGroupsFile(const std::string& text, bool replace) {
    const int error =
        writeWholeFile(groupsFileName, text, replace ? Existing::replace : Existing::keep, true);
    if (error == EEXIST) return std::string(groupsFileName) + " exists; --force replaces it";
    if (error != 0)
        return "cannot write " + std::string(groupsFileName) + ": " + std::strerror(error);
    return {};
}

std::string groupsFileUnwritable() {
    const std::string cannot = "cannot write " + std::string(groupsFileName) + ": ";
    struct stat status {};
    if (lstat(groupsFileName, &status) == 0) {
        if (!S_ISREG(status.st_mode))
            return cannot + "it is " + fileTypeName(status.st_mode) + ", not a regular file";
    } else if (errno != ENOENT) {
        return cannot + std::strerror(errno);
    }
    // An empty file made where the file will be made, then removed.
    const TemporaryFile trial = writeTemporaryFile(groupsFileName, "", false);
    if (trial.error != 0) return cannot + std::strerror(trial.error);
    unlink(trial.name.c_str());
    return "";
}

void readKeptWords(RunGroups& kept) {
    RunGroups old;
    const std::string fault = readGroupsFile(groupsFileName, old);
    if (!fault.empty()) {
        std::fprintf(stderr,
                     "tessaly-groups: warning: no option words are kept of the %s replaced: %s\n",
                     groupsFileName, printableText(fault).c_str());
        return;
    }
    kept.options = old.options;
}

std::string wordsText(const SearchOptions& written, const SearchOptions& kept) {
    std::vector<std::string> added, keptWords;
    for (const SearchOptionRow& row : searchOptionRows) {
        const std::int64_t value = written[row];
        if (row.word == nullptr || value == 0) continue;
        (kept[row] == value ? keptWords : added).push_back(optionWord(row, value));
    }
    std::string text;
    if (!added.empty()) text += "with " + wordList(added);
    if (!keptWords.empty()) text += (text.empty() ? "kept " : "; kept ") + wordList(keptWords);
    return text.empty() ? "" : " (" + text + ")";
}

RunGroups groupsOf(Candidate candidate, const RunGroups& derived) {
    RunGroups groups = candidate == Candidate::derived ? derived : RunGroups{};
    if (candidate == Candidate::off) groups.rules = StepRules::noGroups;
    return groups;
}

bool readsBack(const std::string& text, const RunGroups& groups, std::string& fault) {
    RunGroups check;
    fault = parseGroups(text, groupsFileName, check);
    return fault.empty() && check.rules == groups.rules && check.options == groups.options &&
           (groups.rules != StepRules::groups ||
            (check.table == groups.table && check.pieces == groups.pieces));
}

std::vector<std::string> commentsOf(Candidate candidate, const std::string& harvest) {
    switch (candidate) {
        case Candidate::derived:
            return {
                "Piece groups for the pieces of k7pieces.txt, made by tessaly-groups from the "
                "deepest",
                "boards of " + harvest + ", one board a group.",
                "The solver uses them in place of its built-in groups; see tessaly-groups(1)."};
        case Candidate::off:
            return {"The group rules are off for the pieces of k7pieces.txt:",
                    "the solver's first depths may place any piece.",
                    "Written by tessaly-groups, which also made piece groups from the deepest "
                    "boards",
                    "of " + harvest + "; see tessaly-groups(1)."};
        case Candidate::builtIn:
            return {"The solver's built-in piece groups, for the pieces of k7pieces.txt.",
                    "Written by tessaly-groups, which also made piece groups from the deepest "
                    "boards",
                    "of " + harvest + "; see tessaly-groups(1)."};
    }
    return {};
}
