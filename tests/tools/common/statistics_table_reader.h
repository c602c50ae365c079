// Reads back the tables printed by tessaly-stats, so tests can compare their cells.
#pragma once

#include <map>
#include <string>
#include <vector>

// One table: the column heads and, per row label, the cells of its columns (blanks trimmed).
struct ReadTable {
    std::vector<std::string> heads;                        // three, "" for an unused column
    std::vector<std::string> labels;                       // row labels in order
    std::map<std::string, std::vector<std::string>> rows;  // label: three cells
};

// The tables of `text`: each a blank line, a head line, a rule, rows and a closing rule. Lines
// after the last table are left alone.
std::vector<ReadTable> readTables(const std::string& text);
// The text of the table lines: head lines, rules and rows (not the blank lines between).
std::vector<std::string> tableLines(const std::string& text);
