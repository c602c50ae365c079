#include "base/formatted_text.h"

#include <cstdarg>
#include <cstdio>

std::string printed(const char* pattern, ...) {
    std::va_list values;
    va_start(values, pattern);
    std::va_list again;
    va_copy(again, values);
    const int length = std::vsnprintf(nullptr, 0, pattern, values);
    va_end(values);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), pattern, again);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    return text;
}
