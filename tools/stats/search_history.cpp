#include "stats/search_history.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// The whole number `text` holds, all of it, or false.
bool wholeNumber(std::string_view text, std::int64_t& value) {
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    return !text.empty() && fault == std::errc{} && stop == end;
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
    // Never through a link planted under the name: appended to only as the file itself.
    const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    std::FILE* file = fd < 0 ? nullptr : fdopen(fd, "a+");
    if (file == nullptr) {
        const std::string problem = "cannot write " + path + ": " + std::strerror(errno);
        if (fd >= 0) close(fd);
        return problem;
    }
    // A new file gets the header; a last line cut short (the farm was killed while it wrote)
    // is ended, so that it costs that one line and not the next as well.
    const bool fresh = std::fseek(file, 0, SEEK_END) != 0 || std::ftell(file) <= 0;
    const bool cutShort = !fresh && std::fseek(file, -1, SEEK_END) == 0 && std::fgetc(file) != '\n';
    const std::string text = (fresh ? std::string(historyHeader) + "\n" : std::string()) +
                             (cutShort ? "\n" : "") + historyLine(point) + "\n";
    std::fseek(file, 0, SEEK_END);  // a write after a read needs a positioning in between
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) return "cannot write " + path;
    return "";
}

std::vector<HistoryPoint> historyPoints(const std::string& text) {
    std::vector<HistoryPoint> points;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        // Five whole numbers separated by commas, nothing else.
        std::vector<std::int64_t> values;
        bool whole = false;
        for (std::size_t start = 0;;) {
            const std::size_t comma = line.find(',', start);
            const std::size_t end = comma == std::string::npos ? line.size() : comma;
            std::int64_t value = 0;
            if (!wholeNumber(std::string_view(line).substr(start, end - start), value)) break;
            values.push_back(value);
            if (comma == std::string::npos) {
                whole = values.size() == 5;
                break;
            }
            start = comma + 1;
        }
        if (!whole || values[3] < 0 || values[3] > 480) continue;
        points.push_back({values[0], values[1], values[2], static_cast<int>(values[3]), values[4]});
    }
    return points;
}

std::vector<HistoryPoint> readHistory(const std::string& path) {
    // Only a regular file is opened, so that a pipe named history.csv cannot block the reading.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::ostringstream text;
    text << file.rdbuf();
    return historyPoints(text.str());
}
