// The groups file k7groups.txt: the 60 piece groups of a puzzle, in place of the built-in
// ones, or the word off, which turns the group rules off; either may come with the words of
// search options (searchOptionRows: rim-look-ahead, scarcity=W, ...), which turn them on, and
// which alone keep the built-in groups. The solver reads it from its start directory, beside
// the pieces; tessaly-groups writes it.
//
// The text is a sequence of words separated by blanks and line ends; '#' begins a comment that
// runs to the end of its line. Each group is the word first followed by the piece numbers of its
// first list, then the word second followed by those of its second list; a list may go on over
// several lines. Piece numbers count from 0 (the line of k7pieces.txt minus one). The word
// of an option stands before the first group, at most once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "run/run_setup.h"

inline constexpr const char* groupsFileName = "k7groups.txt";

// Reads the groups file `path` into `groups`: its table, or the group rules off, its search
// options, and the path as the source. Returns an empty text when the file is read,
// otherwise the fault, naming the file, the line and the rule broken; `groups` is then unchanged.
std::string readGroupsFile(const std::string& path, RunGroups& groups);
// The same for a text held in memory; `name` stands for the file in messages.
std::string parseGroups(std::string_view text, const std::string& name, RunGroups& groups);
// The text of a groups file: the `comments` as comment lines, the word of every search option
// that is on (a line each), then the 60 groups of `groups`, or the word off when its rules are
// off.
std::string groupsFileText(const RunGroups& groups, const std::vector<std::string>& comments);
