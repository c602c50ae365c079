#include "tools/farm/log_watch.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "results/board_files.h"
#include "results/record_board_names.h"

namespace {

// How far past the directory a report's line may run: a board's name, the reason (an errno's
// text) and the end, with room to spare. A longer line is no report.
constexpr std::size_t longestReportTail = 512;

// The board file's name of a report's line, given what follows "DIRECTORY/" in it:
// "NAME: REASON; here it is as a board file:"; nothing when it is not so.
std::optional<RecordBoardFileName> reportedName(std::string_view tail, std::string& name) {
    const std::size_t colon = tail.find(": ");
    if (colon == std::string_view::npos || !tail.ends_with(boardNotSavedEnd)) return std::nullopt;
    name = std::string(tail.substr(0, colon));
    return parseRecordBoardFileName(name);
}

}  // namespace

std::vector<BoardNews> scanLogText(LogWatch& watch, const std::string& text) {
    std::vector<BoardNews> news;
    // Without the directory no line can be known for a report.
    if (watch.directory.empty()) return news;
    watch.pending += text;
    const std::string prefix = boardNotSavedText + watch.directory + "/";
    std::size_t at = 0;  // where the output not judged yet begins
    for (;;) {
        const std::string_view rest = std::string_view(watch.pending).substr(at);
        if (watch.skippingLine || watch.unsavedLinesDue > 0) {
            const std::size_t end = rest.find('\n');
            if (end == std::string_view::npos) {
                if (watch.skippingLine) at = watch.pending.size();
                break;
            }
            if (!watch.skippingLine) {
                watch.unsaved.lines.emplace_back(rest.substr(0, end));
                if (--watch.unsavedLinesDue == 0) news.push_back(watch.unsaved);
            }
            watch.skippingLine = false;
            at += end + 1;
            continue;
        }
        // At the start of a line, which may be a report only when it begins with the prefix;
        // the prefix holds the directory, which may hold line ends of its own.
        if (rest.size() < prefix.size()) {
            if (std::string_view(prefix).starts_with(rest)) break;
            watch.skippingLine = true;
            continue;
        }
        if (!rest.starts_with(prefix)) {
            watch.skippingLine = true;
            continue;
        }
        const std::size_t end = rest.find('\n', prefix.size());
        if (end == std::string_view::npos) {
            if (rest.size() - prefix.size() <= longestReportTail) break;
            watch.skippingLine = true;
            continue;
        }
        std::string name;
        const std::optional<RecordBoardFileName> reported =
            end - prefix.size() <= longestReportTail
                ? reportedName(rest.substr(prefix.size(), end - prefix.size()), name)
                : std::nullopt;
        if (reported) {
            watch.unsaved = {
                reported->score == perfectScore, name, false, {std::string(rest.substr(0, end))}};
            watch.unsavedLinesDue = unsavedBoardLines - 1;
        }
        at += end + 1;
    }
    watch.pending.erase(0, at);
    return news;
}

std::vector<BoardNews> endLogText(LogWatch& watch) {
    std::vector<BoardNews> news;
    if (watch.unsavedLinesDue > 0) {
        if (!watch.pending.empty()) watch.unsaved.lines.push_back(watch.pending);
        news.push_back(watch.unsaved);
    }
    watch.pending.clear();
    watch.skippingLine = false;
    watch.unsavedLinesDue = 0;
    return news;
}
