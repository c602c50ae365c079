// What the farm learns of its instances' boards: the record and perfect boards each saved, from
// the board files that appear in its directory, so that nothing it prints can fake one.
#pragma once

#include <set>
#include <string>
#include <vector>

struct BoardNews {
    bool perfect;          // a perfect board rather than a new record
    std::string fileName;  // the board file's name in the instance's directory
    bool saved = true;     // false: the board could not be written, and `lines` hold it
    // For an unsaved board: the solver's message and the board's lines, as it printed them.
    std::vector<std::string> lines;
};

// The board files of one instance's directory seen so far, by name.
struct BoardWatch {
    std::set<std::string> known;
};

// Takes the board files now in `directory` as known, without news: those of earlier starts.
void noteBoardFiles(BoardWatch& watch, const std::string& directory);
// The board files that have appeared in `directory` since the last look, lowest score and copy
// first (so records before perfect boards). Only regular files named as the solver names
// record boards count; a directory that cannot be listed gives no news.
std::vector<BoardNews> newBoardFiles(BoardWatch& watch, const std::string& directory);
