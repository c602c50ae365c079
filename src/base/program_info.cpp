#include "base/program_info.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "base/printable_text.h"

void runFault(const char* name, const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n", name, printableText(problem).c_str());
    std::exit(runFaultStatus);
}

void printVersionLine(const char* name) {
    std::printf("%s version %s\n", name, programVersion);
}

void answerHelpOrVersion(const char* argument, const char* name, const char* usage) {
    const bool help = std::strcmp(argument, "--help") == 0;
    if (!help && std::strcmp(argument, "--version") != 0) return;
    if (help)
        std::fputs(usage, stdout);
    else
        printVersionLine(name);
    // The answer is the program's output like any other: one that did not arrive is a fault.
    std::exit(standardOutputWritten(name) ? 0 : runFaultStatus);
}

void answerHelpOrVersion(int argc, char** argv, const char* name, const char* usage) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        answerHelpOrVersion(std::strcmp(argv[i], "-h") == 0 ? "--help" : argv[i], name, usage);
}

bool standardOutputWritten(const char* name) {
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (flushed && std::ferror(stdout) == 0) return true;
    std::fprintf(stderr, "%s: cannot write the standard output: %s\n", name,
                 flushed ? "a write failed" : std::strerror(error));
    return false;
}

std::filesystem::path programDirectory() {
    std::error_code fault;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", fault);
    return fault ? std::filesystem::path() : self.parent_path();
}
