// The command lines of every program but the solver (which reads only its first argument): a
// fault of the command line gets the same words and status 2 in each, followed by its usage; an
// input that cannot be read ends it with status 1; its --help fits in 80 columns.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/test_support.h"

namespace {

struct Program {
    const char* name;
    const char* binary;
    // A bad number and the problem it gets; empty for a program without a number option.
    const char* badNumber;
    const char* badNumberProblem;
    // An option without its value and the problem it gets.
    const char* missingValue;
    const char* missingValueProblem;
    // Arguments that name an input that is not there, in an empty directory.
    const char* unreadable;
};

const Program programs[] = {
    {"tessaly-farm", TESSALY_FARM_BIN, "-j many",
     "-j takes a whole number from 1 to 4096, not 'many'", "-d",
     "-d takes a path of 1 to 4095 bytes; none follows it", "-j 1"},
    {"tessaly-stats", TESSALY_STATS_BIN, "", "", "--html",
     "--html takes a path of 1 to 4095 bytes; none follows it", "nothing-here"},
    {"tessaly-show", TESSALY_SHOW_BIN, "", "", "--grid",
     "--grid takes a path of 1 to 4095 bytes; none follows it", "k7pieces.txt 480.tsr"},
    {"tessaly-gen", TESSALY_GEN_BIN, "--colours 18",
     "--colours takes a whole number from 1 to 17, not '18'", "out.txt --seed",
     "--seed takes a whole number from 0 to 4294967295; none follows it", "no/such/out.txt"},
    {"tessaly-groups", TESSALY_GROUPS_BIN, "--seconds 0",
     "--seconds takes a whole number from 1 to 31000000, not '0'", "--seed",
     "--seed takes a whole number from 0 to 4294967295; none follows it", "--no-trial"},
    {"tessaly-bench", TESSALY_BENCH_BIN, "--runs x",
     "--runs takes a whole number from 1 to 1000000, not 'x'", "--nodes",
     "--nodes takes a whole number from 1 to 1000000000000000000; none follows it", "missing.txt"},
};

}  // namespace

TEST(CommandLines, EveryProgramRefusesAFaultInTheSameWordsWithItsUsageAndStatus2) {
    TempDir dir;  // empty: no k7pieces.txt
    for (const Program& program : programs) {
        const std::string name = program.name;
        struct Fault {
            std::string arguments, problem;
        };
        std::vector<Fault> faults{{"--fast", "unknown option --fast"},
                                  {program.missingValue, program.missingValueProblem}};
        if (*program.badNumber != '\0')
            faults.push_back({program.badNumber, program.badNumberProblem});
        for (const Fault& fault : faults) {
            const ProgramResult result =
                runProgram(std::string(program.binary) + " " + fault.arguments, dir.path);
            EXPECT_EQ(result.status, 2) << name << " " << fault.arguments;
            EXPECT_EQ(result.err.rfind(name + ": " + fault.problem + "\nusage: " + name + " ", 0),
                      0u)
                << result.err;
            EXPECT_EQ(result.out, "") << name;
        }
        const ProgramResult unreadable =
            runProgram(std::string(program.binary) + " " + program.unreadable, dir.path, "", 20);
        EXPECT_EQ(unreadable.status, 1) << name << " " << unreadable.err;
        EXPECT_EQ(unreadable.err.find("usage:"), std::string::npos) << unreadable.err;
    }
}

TEST(CommandLines, EveryHelpLineFitsIn80Columns) {
    TempDir dir;
    for (const Program& program : programs) {
        std::istringstream help(runProgram(std::string(program.binary) + " --help", dir.path).out);
        int lines = 0;
        for (std::string line; std::getline(help, line); ++lines)
            EXPECT_LE(line.size(), 80u) << program.name << ": " << line;
        EXPECT_GT(lines, 2) << program.name;
    }
}
