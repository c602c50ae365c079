#include "base/console.h"

#include <cerrno>
#include <cstdarg>

std::FILE* consoleOut = stdout;
std::FILE* consoleErr = stderr;
void (*onOutputGone)() = nullptr;

void printOut(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(consoleOut, format, args);
    va_end(args);
    if (std::fflush(consoleOut) != 0 && errno == EPIPE) {
        std::clearerr(consoleOut);
        if (onOutputGone != nullptr) onOutputGone();
    }
}

void printErr(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(consoleErr, format, args);
    va_end(args);
    std::fflush(consoleErr);
}
