// The groups file that tessaly-groups writes: the comment lines that say how it was made, the
// option words it keeps of the file it replaces, and its writing, whole or not at all.
#pragma once

#include <string>
#include <vector>

#include "run/groups_file.h"
#include "search/search_options.h"
#include "tools/groups/trial_choice.h"

// Writes the groups file whole or not at all, replacing an older one only when `replace`; the
// problem, or an empty text.
std::string writeGroupsFile(const std::string& text, bool replace);
// Why the groups file could not be written here, checked before anything is made for it, or
// an empty text: something other than a regular file is in its place (a directory, a symbolic
// link, which is never written through nor replaced), or no file can be made beside it.
std::string groupsFileUnwritable();

// The option words of the k7groups.txt that --force replaces, read by the groups-file reader
// into `kept`: the new file keeps them, since they say how the solver searches, not which
// groups it uses. A file that cannot be read keeps none, and a warning says so before anything
// is made.
void readKeptWords(RunGroups& kept);

// What the last line adds about the option words written: " (kept the word rim-look-ahead)"
// for those the file replaced had, "with the word ..." for the others, or nothing.
std::string wordsText(const SearchOptions& written, const SearchOptions& kept);

// The groups a candidate stands for: the derived ones, none, or the built-in ones.
RunGroups groupsOf(Candidate candidate, const RunGroups& derived);

// Whether `text` reads back as `groups`, so that what is tried and written is what was made;
// `fault` receives the reader's fault, if any.
bool readsBack(const std::string& text, const RunGroups& groups, std::string& fault);

// The comment lines that say what the file holds and how it was made, `harvest` naming the
// harvest ("N runs without group rules (seed S, B)").
std::vector<std::string> commentsOf(Candidate candidate, const std::string& harvest);
