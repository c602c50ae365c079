#include "results/board_files.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/console.h"
#include "base/disk_sync.h"
#include "base/fatal_exit.h"
#include "base/program_state.h"
#include "base/random.h"
#include "base/settings.h"
#include "base/whole_files.h"
#include "puzzle/piece_file.h"
#include "puzzle/puzzle_tables.h"
#include "results/board_rules.h"
#include "results/grid_writing.h"
#include "results/record_board_names.h"
#include "search/search_state.h"

namespace {

constexpr int wordsPerLine = 20;

std::uint32_t randomWord() {
    return nextRandom(program.mainRandom) & 0x7FFFFFFFu;
}

void appendWord(std::string& text, std::uint32_t word) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(word));
    text += hex;
}

}  // namespace

std::string recordBoardText(const std::array<PieceCode, 256>& slots) {
    std::string text = std::string(recordBoardVersionLine) + "\n";
    for (int i = 0; i < recordBoardLeadingWords; ++i)
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
    const std::string header = std::string(recordBoardVersionLine) + "\n";
    if (text.compare(0, header.size(), header) != 0) return std::nullopt;
    std::string digits;
    for (std::size_t i = header.size(); i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        digits += c;
    }
    if (digits.size() != 8u * recordBoardWords) return std::nullopt;
    auto word = [&](int k) {
        return static_cast<std::uint32_t>(std::stoul(digits.substr(8u * k, 8), nullptr, 16));
    };
    std::array<PieceCode, 256> slots{};
    std::uint32_t previous = word(recordBoardLeadingWords);
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t chain = word(recordBoardLeadingWords + 1 + i);
        slots[i] = static_cast<PieceCode>(chain ^ previous);
        previous = chain;
    }
    return slots;
}

void printUnsavedBoard(const char* fileName, int error) {
    printOut("\n%s%s/%s: %s%s\n", boardNotSavedText, program.settings.workingDirectory, fileName,
             std::strerror(error), boardNotSavedEnd);
    printOut("%s", gridText(search.board, std::string("board not saved as ") + fileName).c_str());
}

SavedBoard saveBoardOfScore(int score) {
    const std::string text = recordBoardText(search.board);
    if (!program.settings.writeFiles) return {recordBoardFileName(score, 1), true};
    // The board is written and synced once, under a temporary name; it then takes the first
    // free name by a rename that never replaces, so a save costs the same however many boards
    // of its score are there, and a board saved under a name is never replaced, not even by a
    // racing process or after the statistics that knew of it were lost.
    const TemporaryFile temporary =
        writeTemporaryFile(recordBoardFileName(score, 1).c_str(), text, true);
    BoardRename placed{recordBoardFileName(score, 1), temporary.error};
    if (placed.error == 0) placed = renameToFreeBoardName(temporary.name, score);
    if (placed.error == 0) return {placed.name, true};
    unlink(temporary.name.c_str());
    printUnsavedBoard(placed.name.c_str(), placed.error);
    return {placed.name, false};
}

BoardRename renameToFreeBoardName(const std::string& from, int score) {
    BoardRename placed{recordBoardFileName(score, 1), 0};
    for (long long copy = 2;; ++copy) {
        placed.error = renameWithoutReplacing(from.c_str(), placed.name.c_str());
        if (placed.error == 0) {
            syncDirectoryOf(placed.name.c_str());
            return placed;
        }
        if (placed.error != EEXIST || copy > mostBoardCopies) return placed;
        placed.name = recordBoardFileName(score, copy);
    }
}

std::string recordBoardProblem(const std::string& text, int score) {
    const std::optional<std::array<PieceCode, 256>> slots = decodeRecordBoard(text);
    if (!slots) return "it is no record board file";
    for (const PieceCode code : *slots)
        if (code == emptyCode) return "its board is not full";
    const std::string broken =
        boardRuleBreak(*slots, PieceTables{puzzle.pieceCodes, puzzle.borderCount});
    if (!broken.empty()) return broken;
    const int found = scoreOf(mismatchedEdges(*slots));
    if (found != score)
        return "its board scores " + std::to_string(found) + ", not " + std::to_string(score);
    return {};
}
