#include "base/console.h"

#include <cerrno>
#include <cstdarg>

void printOut(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(process.consoleOut, format, args);
    va_end(args);
    if (std::fflush(process.consoleOut) != 0 && errno == EPIPE) {
        std::clearerr(process.consoleOut);
        if (process.onOutputGone != nullptr) process.onOutputGone();
    }
}

void printErr(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(process.consoleErr, format, args);
    va_end(args);
    std::fflush(process.consoleErr);
}
