#include "results/board_files.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/console.h"
#include "base/fatal_exit.h"
#include "base/random.h"
#include "base/settings.h"
#include "base/whole_files.h"
#include "results/grid_writing.h"
#include "search/search_state.h"

namespace {

constexpr int wordsPerLine = 20;
constexpr int leadingRandomWords = 5;

std::uint32_t randomWord() {
    return nextRandom(mainRandom) & 0x7FFFFFFFu;
}

void appendWord(std::string& text, std::uint32_t word) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(word));
    text += hex;
}

}  // namespace

std::string recordBoardText(const std::array<PieceCode, 256>& slots) {
    std::string text = "K";
    char version[32];
    std::snprintf(version, sizeof version, "%d v%d.%d\n", 7, 1, 0);
    text += version;
    for (int i = 0; i < leadingRandomWords; ++i)
        appendWord(text, randomWord());
    std::uint32_t running = randomWord();
    appendWord(text, running);
    for (int i = 0; i < 256; ++i) {
        if ((i + 6) % wordsPerLine == 0) text += '\n';
        running ^= static_cast<std::uint32_t>(slots[i]);
        appendWord(text, running);
    }
    appendWord(text, randomWord());
    text += '\n';
    return text;
}

std::optional<std::array<PieceCode, 256>> decodeRecordBoard(const std::string& text) {
    const std::string header = "K7 v1.0\n";
    if (text.compare(0, header.size(), header) != 0) return std::nullopt;
    std::string digits;
    for (std::size_t i = header.size(); i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        digits += c;
    }
    constexpr int wordCount = leadingRandomWords + 1 + 256 + 1;
    if (digits.size() != 8u * wordCount) return std::nullopt;
    auto word = [&](int k) {
        return static_cast<std::uint32_t>(std::stoul(digits.substr(8u * k, 8), nullptr, 16));
    };
    std::array<PieceCode, 256> slots{};
    std::uint32_t previous = word(leadingRandomWords);
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t chain = word(leadingRandomWords + 1 + i);
        slots[i] = static_cast<PieceCode>(chain ^ previous);
        previous = chain;
    }
    return slots;
}

void printUnsavedBoard(const char* fileName, int error) {
    printOut("\nBoard could not be saved in %s/%s: %s; here it is as a board file:\n",
             settings.workingDirectory, fileName, std::strerror(error));
    printOut("%s", gridText(search.board, std::string("board not saved as ") + fileName).c_str());
}

void saveRecordBoard(const char* fileName) {
    const std::string text = recordBoardText(search.board);
    if (!settings.writeFiles) return;
    const int error = writeWholeFile(fileName, text, Existing::replace, true);
    if (error == 0) return;
    printUnsavedBoard(fileName, error);
    printErr("Could not write to file %s\n", fileName);
    fatalExit();
}

std::optional<std::string> savePerfectBoard() {
    const std::string text = recordBoardText(search.board);
    std::string name = "480.tsr";
    if (!settings.writeFiles) return name;
    for (int copy = 2;; ++copy) {
        // An existing perfect board is never replaced, not even by a racing process.
        const int error = writeWholeFile(name.c_str(), text, Existing::keep, true);
        if (error == 0) return name;
        if (error != EEXIST) {
            printUnsavedBoard(name.c_str(), error);
            return std::nullopt;
        }
        name = "480-" + std::to_string(copy) + ".tsr";
    }
}
