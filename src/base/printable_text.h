// Text from outside (file and directory names) made safe to print on a terminal.
#pragma once

#include <string>
#include <string_view>

// `text` with its control bytes (below 0x20, and 0x7f) written as \xNN, so that a name cannot
// send an escape sequence to the terminal; every other byte, UTF-8 included, stays as it is.
std::string printableText(std::string_view text);
