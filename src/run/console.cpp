#include "run/console.h"

#include <cstdarg>

std::FILE* consoleOut = stdout;
std::FILE* consoleErr = stderr;

void printOut(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(consoleOut, format, args);
    va_end(args);
    std::fflush(consoleOut);
}

void printErr(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(consoleErr, format, args);
    va_end(args);
    std::fflush(consoleErr);
}
