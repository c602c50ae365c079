// Reads back a statistics page with Python's XML parser, so that tests check it as a strict
// reader sees it: well-formed, and what its tables, charts and board hold.
#pragma once

#include <map>
#include <string>
#include <vector>

struct PageFacts {
    bool parsed = false;
    std::string problem;                                // the parser's complaint, if any
    int reloadSeconds = 0;                              // of the meta refresh, 0 without one
    int triangles = 0;                                  // board polygons of class "tri"
    int mismatchMarks = 0;                              // board groups of class "mismatch"
    std::map<int, long long> bars;                      // score: full boards, from the bars
    std::map<std::string, long long> depthBars;         // band: runs, from the bars by depth
    std::map<std::string, std::string> totals;          // label: figure, of table "totals"
    std::vector<std::vector<std::string>> directories;  // the cells of each directory row
    std::vector<int> plotPoints;                        // the vertices of each plot line
    std::string text;                                   // all text of the body
};

// The facts of the page at `path`.
PageFacts readPage(const std::string& path);
