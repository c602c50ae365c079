// The command line of tessaly-farm.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/option_table.h"

struct FarmOptions {
    int instances = 0;               // solver processes; 0 means one per online processor
    std::string directory = "farm";  // instance i keeps its files in directory/i
    std::string boardFile;           // board file every instance loads, or empty
    int statusSeconds = 3;           // how often the status is refreshed
    int restartLimit = 3;            // restarts of an instance that ends on its own
    std::string solver;              // solver program; empty means the one beside tessaly-farm
    std::string pagePath;            // statistics page rewritten at every refresh, or empty
};

// Its forms and options, which also write its --help and usage.
extern const CommandLine farmCommandLine;

// Reads the arguments after the program name; on a fault sets `error` and returns nothing.
std::optional<FarmOptions> parseFarmOptions(const std::vector<std::string>& arguments,
                                            std::string& error);
