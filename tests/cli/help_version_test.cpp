// --help and --version of every program: usage or "NAME version 1.0" on the standard output,
// status 0, and nothing else done (no piece file is needed). The solver answers them only as
// its first argument, and only when they are exact.
#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace {

struct HelpedProgram {
    const char* name;
    const char* binary;
};

constexpr HelpedProgram helpedPrograms[] = {{"tessaly", TESSALY_BIN},
                                            {"tessaly-farm", TESSALY_FARM_BIN},
                                            {"tessaly-stats", TESSALY_STATS_BIN},
                                            {"tessaly-show", TESSALY_SHOW_BIN},
                                            {"tessaly-gen", TESSALY_GEN_BIN},
                                            {"tessaly-bench", TESSALY_BENCH_BIN},
                                            {"tessaly-groups", TESSALY_GROUPS_BIN}};

}  // namespace

TEST(HelpAndVersion, EveryProgramPrintsItsUsageAndVersionAndEndsWithStatus0) {
    TempDir dir;  // empty: no k7pieces.txt
    for (const HelpedProgram& program : helpedPrograms) {
        const ProgramResult version =
            runProgram(std::string(program.binary) + " --version", dir.path);
        EXPECT_EQ(version.status, 0) << program.name;
        EXPECT_EQ(version.out, std::string(program.name) + " version 1.0\n");
        const ProgramResult help = runProgram(std::string(program.binary) + " --help", dir.path);
        EXPECT_EQ(help.status, 0) << program.name;
        EXPECT_EQ(help.out.rfind(std::string("usage: ") + program.name + " ", 0), 0u) << help.out;
        EXPECT_EQ(help.err, "") << program.name;
        // An answer that cannot be written is a failure, as any other output's is.
        for (const char* asked : {" --help", " --version"}) {
            const ProgramResult full = runProgram(
                "sh -c '" + std::string(program.binary) + asked + " >/dev/full'", dir.path);
            EXPECT_EQ(full.status, 1) << program.name << asked;
            EXPECT_NE(full.err.find("cannot write the standard output"), std::string::npos)
                << program.name << asked;
        }
    }
}

TEST(HelpAndVersion, SolverUsageNamesItsFormsFilesAndHowToStopIt) {
    TempDir dir;
    const std::string usage = runProgram(std::string(TESSALY_BIN) + " --help", dir.path).out;
    for (const char* part : {"-oDIR", "BOARDFILE", "k7pieces.txt", "total.txt", ".tsr", "Ctrl-C"})
        EXPECT_NE(usage.find(part), std::string::npos) << part;
}

TEST(HelpAndVersion, SolverTakesAnythingElseAsBefore) {
    TempDir dir;
    // Not the first argument, or not exact: read as today, so the missing piece file ends it.
    for (const char* arguments : {"-o. --version", "--helpme", "--version=1"}) {
        const ProgramResult result =
            runProgram(std::string(TESSALY_BIN) + " " + arguments, dir.path, "\n");
        EXPECT_EQ(result.status, 1) << arguments;
        EXPECT_EQ(result.out.find("version 1.0"), std::string::npos) << arguments;
        EXPECT_NE(result.err.find("Cannot open piece file"), std::string::npos) << arguments;
    }
}
