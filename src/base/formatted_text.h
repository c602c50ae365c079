// Text made from a printf pattern, for the messages, tables and rows the programs build.
#pragma once

#include <string>

// What std::printf would print for `pattern` and the values after it, whole however long (a
// path can be long). The compiler checks the values against the pattern, as for printf.
[[gnu::format(printf, 1, 2)]] std::string printed(const char* pattern, ...);
