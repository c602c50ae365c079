#include "tools/common/search_history.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include "base/file_reading.h"
#include "base/whole_files.h"
#include "results/record_board_names.h"

namespace {

// Longer than any line of five 64-bit numbers and four commas: a longer line is damaged, and is
// not held whole.
constexpr std::size_t longestLine = 120;

// The whole number `text` holds, all of it, or false.
bool wholeNumber(std::string_view text, std::int64_t& value) {
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    return !text.empty() && fault == std::errc{} && stop == end;
}

// The point of a line of five whole numbers separated by commas, nothing else, with a best
// score from 0 to perfectScore.
std::optional<HistoryPoint> pointOf(std::string_view line) {
    std::int64_t values[5] = {};
    std::size_t count = 0;
    for (std::size_t start = 0;; ++count) {
        const std::size_t comma = line.find(',', start);
        const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
        if (count == 5 || !wholeNumber(line.substr(start, end - start), values[count]))
            return std::nullopt;
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (count != 4 || values[3] < 0 || values[3] > perfectScore) return std::nullopt;
    return HistoryPoint{values[0], values[1], values[2], static_cast<int>(values[3]), values[4]};
}

// A size in bytes as the messages give it: "256 MB", or the bytes when it is no whole number
// of megabytes.
std::string sizeText(std::uint64_t bytes) {
    return bytes % (1u << 20) == 0 ? std::to_string(bytes >> 20) + " MB"
                                   : std::to_string(bytes) + " bytes";
}

// The lines of a history file as they are read, a piece at a time, taken into a history.
struct HistoryLines {
    HistoryRecord& history;
    bool firstPassedOver = true;  // false while a first line that may be cut is still to come
    std::int64_t damaged = 0;     // lines that are no point nor the header
    std::string line{};           // the line so far
    bool overlong = false;        // whether it is longer than a history line can be

    // Adds `length` bytes at `text` to the line, holding no more than a history line.
    void add(const char* text, std::size_t length) {
        overlong = overlong || line.size() + length > longestLine;
        if (!overlong) line.append(text, length);
    }
    // Takes the line read whole: its point, the header, or a damaged line.
    void take() {
        if (!firstPassedOver) {
            firstPassedOver = true;
        } else if (const auto point = overlong ? std::nullopt : pointOf(line)) {
            addHistoryPoint(history, *point);
        } else if (line != historyHeader) {
            ++damaged;
        }
        line.clear();
        overlong = false;
    }
};

// Reads `file` into `lines` a piece at a time, no more than `limit` bytes even of a file that
// grows meanwhile, a last line without its line end included; false when it cannot be read to
// its end.
bool readLines(std::FILE* file, std::uint64_t limit, HistoryLines& lines) {
    std::uint64_t left = limit;
    char buffer[65536];
    std::size_t n = 0;
    while (left > 0 &&
           (n = std::fread(buffer, 1,
                           static_cast<std::size_t>(std::min<std::uint64_t>(sizeof buffer, left)),
                           file)) > 0) {
        left -= n;
        for (const char *at = buffer, *end = buffer + n; at < end;) {
            const char* newline =
                static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
            lines.add(at, static_cast<std::size_t>((newline != nullptr ? newline : end) - at));
            if (newline == nullptr) break;
            lines.take();
            at = newline + 1;
        }
    }
    if (!lines.line.empty() || lines.overlong) lines.take();
    return std::ferror(file) == 0;
}
}  // namespace

std::string historyLine(const HistoryPoint& point) {
    char line[160];
    std::snprintf(line, sizeof line, "%lld,%lld,%lld,%d,%lld", static_cast<long long>(point.time),
                  static_cast<long long>(point.nodes), static_cast<long long>(point.rate),
                  point.best, static_cast<long long>(point.fullBoards));
    return line;
}

std::string appendHistory(const std::string& path, const HistoryPoint& point) {
    // Never through a link planted under the name: appended to only as the file itself, and
    // only when it is a regular file (a FIFO there would take the lines and block the farm).
    const int fd =
        open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    struct stat status {};
    if (fd < 0 && errno == ELOOP && lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode))
        return "it is a symbolic link, which is not written through";
    if (fd < 0) return std::strerror(errno);
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return std::string("it is ") + fileTypeName(status.st_mode) + ", not a regular file";
    }
    // A new file gets the header; a last line cut short (the farm was killed while it wrote,
    // or the disk was full) is ended, so that it costs that one line and not the next as well.
    char last = '\n';
    const bool fresh = status.st_size == 0;
    if (!fresh && pread(fd, &last, 1, status.st_size - 1) != 1) last = '\n';
    const std::string text = (fresh ? std::string(historyHeader) + "\n" : std::string()) +
                             (last != '\n' ? "\n" : "") + historyLine(point) + "\n";
    int error = writeAll(fd, text);
    if (close(fd) != 0 && error == 0) error = errno;
    return error == 0 ? "" : std::strerror(error);
}

std::vector<HistoryPoint> historyPoints(const std::string& text) {
    std::vector<HistoryPoint> points;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (const auto point = pointOf(std::string_view(text).substr(start, end - start)))
            points.push_back(*point);
        start = end + 1;
    }
    return points;
}

void addHistoryPoint(HistoryRecord& history, const HistoryPoint& point) {
    if (history.latestExtra) history.points.pop_back();
    history.latestExtra = history.count % history.stride != 0;
    if (!history.latestExtra && history.points.size() >= keptHistoryPoints) {
        // Every other point goes: those left are every (2 stride)-th point added.
        std::size_t kept = 0;
        for (std::size_t i = 0; i < history.points.size(); i += 2)
            history.points[kept++] = history.points[i];
        history.points.resize(kept);
        history.stride *= 2;
        history.latestExtra = history.count % history.stride != 0;
    }
    history.points.push_back(point);
    ++history.count;
}

HistoryReading readHistory(const std::string& path, std::uint64_t limit) {
    HistoryReading reading;
    FileReading opening;
    std::FILE* file = openRegularFile(path.c_str(), opening);
    if (file == nullptr) {
        if (opening.fault != FileReading::cannotOpen || opening.error != ENOENT)
            reading.problems.push_back(readingProblem(opening));
        return reading;
    }
    struct stat status {};
    const std::uint64_t size =
        fstat(fileno(file), &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
    // Of a file larger than the limit, the first line read may be cut: it is passed over.
    const bool cut = size > limit;
    if (cut && fseeko(file, static_cast<off_t>(size - limit), SEEK_SET) != 0) {
        std::fclose(file);
        reading.problems.push_back(std::string("cannot be read (") + std::strerror(errno) + ")");
        return reading;
    }
    HistoryLines lines{reading.history};
    lines.firstPassedOver = !cut;
    const bool failed = !readLines(file, limit, lines);
    std::fclose(file);
    if (failed) reading.problems.emplace_back("cannot be read to its end");
    if (cut)
        reading.problems.push_back("is larger than " + sizeText(limit) + ": only its last " +
                                   sizeText(limit) + " are read");
    if (lines.damaged > 0)
        reading.problems.push_back("has " + std::to_string(lines.damaged) +
                                   (lines.damaged == 1 ? " damaged line" : " damaged lines") +
                                   ", passed over");
    return reading;
}
