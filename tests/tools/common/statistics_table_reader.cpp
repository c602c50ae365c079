#include "tests/tools/common/statistics_table_reader.h"

#include "tests/test_support.h"

namespace {

const std::string rule(63, '-');

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The four 15-character fields of a line, trimmed; fewer when the line is shorter.
std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    for (std::size_t start = 0; start < line.size() && fields.size() < 4; start += 16)
        fields.push_back(trimmed(line.substr(start, 15)));
    while (fields.size() < 4)
        fields.emplace_back();
    return fields;
}

}  // namespace

std::vector<ReadTable> readTables(const std::string& text) {
    const std::vector<std::string> lines = linesOf(text);
    std::vector<ReadTable> tables;
    for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
        if (!lines[i].empty() || lines[i + 2] != rule) continue;
        ReadTable table;
        const auto heads = fieldsOf(lines[i + 1]);
        table.heads.assign(heads.begin() + 1, heads.end());
        std::size_t r = i + 3;
        for (; r < lines.size() && lines[r] != rule; ++r) {
            const auto fields = fieldsOf(lines[r]);
            table.labels.push_back(fields[0]);
            table.rows[fields[0]].assign(fields.begin() + 1, fields.end());
        }
        tables.push_back(table);
        i = r;
    }
    return tables;
}

std::vector<std::string> tableLines(const std::string& text) {
    const std::vector<std::string> lines = linesOf(text);
    std::vector<std::string> result;
    std::size_t linesOfTable = 0;  // lines of the current table so far; 0 outside a table
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (linesOfTable == 0) {
            if (lines[i].empty() && i + 2 < lines.size() && lines[i + 2] == rule) linesOfTable = 1;
            continue;
        }
        result.push_back(lines[i]);
        ++linesOfTable;
        // The closing rule: any rule after the one under the head line.
        if (lines[i] == rule && linesOfTable > 3) linesOfTable = 0;
    }
    return result;
}
