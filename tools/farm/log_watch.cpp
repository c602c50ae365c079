#include "farm/log_watch.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* savedPrefix = "Board is saved in ";

}  // namespace

std::vector<BoardNews> scanLogText(LogWatch& watch, const std::string& text) {
    std::vector<BoardNews> news;
    watch.partialLine += text;
    std::size_t start = 0;
    for (std::size_t end; (end = watch.partialLine.find('\n', start)) != std::string::npos;
         start = end + 1) {
        const std::string line = watch.partialLine.substr(start, end - start);
        // The solver prints "Board is saved in DIR/NAME" for every record and perfect board it
        // writes; the name tells which: perfect boards are 480.tsr, 480-2.tsr, ...
        const std::size_t at = line.find(savedPrefix);
        if (at == std::string::npos) continue;
        const std::string path = line.substr(at + std::strlen(savedPrefix));
        const std::size_t slash = path.find_last_of("/\\");
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (name.empty()) continue;
        news.push_back({name.rfind("480", 0) == 0, name});
    }
    watch.partialLine.erase(0, start);
    return news;
}

std::vector<BoardNews> readLogNews(LogWatch& watch) {
    std::FILE* file = std::fopen(watch.path.c_str(), "rb");
    if (file == nullptr) return {};
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    if (size < watch.offset) {
        watch.offset = 0;
        watch.partialLine.clear();
    }
    std::fseek(file, watch.offset, SEEK_SET);
    std::string text;
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, count);
    std::fclose(file);
    watch.offset += static_cast<long>(text.size());
    return scanLogText(watch, text);
}
