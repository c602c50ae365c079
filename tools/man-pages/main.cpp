// tessaly-man-pages IN OUT: writes the man page IN as OUT with the lists of the search options
// put in from their table, so that an option's flag, word and text are written once, in its
// row. A line that is one of the markers below is replaced by its list; every other line is
// copied as it is. The build runs it on every page; it is not installed.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "base/file_reading.h"
#include "base/whole_files.h"
#include "search/search_options.h"

namespace {

// `text` as roff sets it literally in a name: every '-' escaped.
std::string inRoff(std::string_view text) {
    std::string roff;
    for (const char c : text) {
        if (c == '-') roff += '\\';
        roff += c;
    }
    return roff;
}

// The bench's synopsis: one bracketed flag a row, with its value's name.
std::string synopsis() {
    std::string text;
    for (const SearchOptionRow& row : searchOptionRows) {
        text.append(".RB [ ").append(inRoff(row.benchFlag));
        if (row.valueName != nullptr)
            text.append("\n.IR ").append(row.valueName).append(" ]\n");
        else
            text.append(" ]\n");
    }
    return text;
}

// An entry of a list: its name in bold (`name`), then in italics the name of its value (a
// separate word of the command line when `spaced`), if it has one, then its text.
std::string entry(std::string_view name, const char* valueName, bool spaced, const char* body) {
    std::string text = ".TP\n";
    if (valueName == nullptr)
        text.append(".B ").append(inRoff(name));
    else
        text.append(".BI ")
            .append(inRoff(name))
            .append(spaced ? " \" " : " ")
            .append(valueName)
            .append(spaced ? "\"" : "");
    return text.append("\n").append(body).append("\n");
}

// The bench's options, a flag a row.
std::string flags() {
    std::string text;
    for (const SearchOptionRow& row : searchOptionRows)
        text += entry(row.benchFlag, row.valueName, true, row.benchPage);
    return text;
}

// The words of the groups file, of the rows that have one.
std::string words() {
    std::string text;
    for (const SearchOptionRow& row : searchOptionRows)
        if (row.word != nullptr && row.wordPage != nullptr)
            text += entry(std::string(row.word) + (row.valueName ? "=" : ""), row.valueName, false,
                          row.wordPage);
    return text;
}

struct Marker {
    const char* line;
    std::string (*list)();
};
constexpr Marker markers[] = {
    {".\\\" @search-option-synopsis@", synopsis},
    {".\\\" @search-option-flags@", flags},
    {".\\\" @search-option-words@", words},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: tessaly-man-pages IN OUT\n", stderr);
        return 2;
    }
    std::string page;
    const FileReading reading = readRegularFile(argv[1], std::size_t{1} << 20, page);
    if (reading.fault != FileReading::none) {
        std::fprintf(stderr, "tessaly-man-pages: %s %s\n", argv[1],
                     readingProblem(reading).c_str());
        return 1;
    }
    std::string written;
    for (std::size_t at = 0; at < page.size();) {
        const std::size_t end = std::min(page.find('\n', at), page.size());
        const std::string_view line(page.data() + at, end - at);
        const Marker* marker = nullptr;
        for (const Marker& m : markers)
            if (line == m.line) marker = &m;
        if (marker != nullptr) {
            written += marker->list();
        } else if (line.starts_with(".\\\" @search-option")) {
            std::fprintf(stderr, "tessaly-man-pages: %s: no such list: %.*s\n", argv[1],
                         static_cast<int>(line.size()), line.data());
            return 1;
        }
        if (marker == nullptr) written.append(line).append("\n");
        at = end + 1;
    }
    if (const int error = writeWholeFile(argv[2], written, Existing::replace, false); error != 0) {
        std::fprintf(stderr, "tessaly-man-pages: %s cannot be written (%s)\n", argv[2],
                     std::strerror(error));
        return 1;
    }
    return 0;
}
