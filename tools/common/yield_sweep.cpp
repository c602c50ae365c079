#include "tools/common/yield_sweep.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <map>

#include "base/clocks.h"
#include "base/formatted_text.h"
#include "base/medians.h"
#include "results/record_board_names.h"
#include "search/board_geometry.h"
#include "tools/common/child_pool.h"

namespace {

// A benchmark prints one row and a few lines more at most; a longer output is cut here and
// fails to read.
constexpr std::size_t longestOutput = 1 << 16;

// The figures a sweep rates per CPU-minute, by name, in the order of their columns: each a count
// of a row, or of its runs reaching a depth band.
struct RatedFigure {
    std::string name;
    std::int64_t YieldRow::*count;  // the count, or null for runsReaching[band]
    std::size_t band;
    const std::int64_t& of(const YieldRow& row) const {
        return count != nullptr ? row.*count : row.runsReaching[band];
    }
    std::int64_t& in(YieldRow& row) const {
        return count != nullptr ? row.*count : row.runsReaching[band];
    }
};

std::vector<RatedFigure> ratedFigures() {
    std::vector<RatedFigure> figures{{"runs", &YieldRow::runs, 0}};
    for (std::size_t b = 0; b < deepestDepthBands.size(); ++b)
        figures.push_back({"deepest " + std::to_string(deepestDepthBands[b]), nullptr, b});
    figures.push_back(
        {"placements " + std::to_string(deepPlacementsFrom) + "+", &YieldRow::deepPlacements, 0});
    figures.push_back({"full boards", &YieldRow::fullBoards, 0});
    return figures;
}

template <typename Number>
bool readNumber(std::string_view text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    return !text.empty() && fault == std::errc{} && stop == end;
}

// A column of the rows: its name in the header, its field of a row as written, and how the field
// is read back.
struct SweepColumn {
    std::string name;
    std::function<std::string(const YieldRow&)> written;
    std::function<bool(std::string_view, YieldRow&)> read;
};

// The columns of the rows, in their order: the header, the writer and the reader all follow it.
std::vector<SweepColumn> sweepColumns() {
    std::vector<SweepColumn> columns{
        {"main seed",
         [](const YieldRow& r) { return printed("%lu", static_cast<unsigned long>(r.seeds.main)); },
         [](std::string_view t, YieldRow& r) { return readNumber(t, r.seeds.main); }},
        {"group seed",
         [](const YieldRow& r) {
             return printed("%lu", static_cast<unsigned long>(r.seeds.group));
         },
         [](std::string_view t, YieldRow& r) { return readNumber(t, r.seeds.group); }},
        {"cpu seconds", [](const YieldRow& r) { return printed("%.6f", r.cpuSeconds); },
         [](std::string_view t, YieldRow& r) { return readNumber(t, r.cpuSeconds); }},
        {"nodes",
         [](const YieldRow& r) { return printed("%lld", static_cast<long long>(r.nodes)); },
         [](std::string_view t, YieldRow& r) { return readNumber(t, r.nodes); }}};
    for (const RatedFigure& figure : ratedFigures())
        columns.push_back(
            {figure.name, [figure](const YieldRow& r) { return std::to_string(figure.of(r)); },
             [figure](std::string_view t, YieldRow& r) { return readNumber(t, figure.in(r)); }});
    columns.push_back({"best score", [](const YieldRow& r) { return printed("%d", r.bestScore); },
                       [](std::string_view t, YieldRow& r) { return readNumber(t, r.bestScore); }});
    columns.push_back(
        {"median depth", [](const YieldRow& r) { return printed("%g", r.medianDepth); },
         [](std::string_view t, YieldRow& r) { return readNumber(t, r.medianDepth); }});
    return columns;
}

double perMinute(std::int64_t figure, double cpuSeconds) {
    return cpuSeconds > 0 ? figure * secondsPerMinute / cpuSeconds : 0;
}

// The sum of two counts of rows, which are never negative, held at the largest count rather
// than wrapped round.
std::int64_t countSum(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<std::int64_t>::max() : sum;
}

// A figure over several rows together, per CPU-minute.
double pooledRate(const std::vector<YieldRow>& rows, const RatedFigure& figure) {
    std::int64_t sum = 0;
    double seconds = 0;
    for (const YieldRow& row : rows) {
        sum = countSum(sum, figure.of(row));
        seconds += row.cpuSeconds;
    }
    return perMinute(sum, seconds);
}

// Why a row read is no possible row of a sweep, naming its columns, or an empty text: its CPU
// seconds are positive and finite and every rate of it is finite, its counts are not negative,
// no depth holds more runs than a shallower one, its best score is a score and its median
// depth a depth (or -1, for no run).
std::string outOfRange(const YieldRow& row) {
    if (!std::isfinite(row.cpuSeconds) || row.cpuSeconds <= 0)
        return "'cpu seconds' is not a positive number";
    if (row.nodes < 0) return "'nodes' is negative";
    const std::vector<RatedFigure> figures = ratedFigures();
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const std::int64_t count = figures[i].of(row);
        if (count < 0) return "'" + figures[i].name + "' is negative";
        if (!std::isfinite(perMinute(count, row.cpuSeconds)))
            return "'cpu seconds' is too few for '" + figures[i].name + "' per minute";
        // The runs come first, then the runs reaching each depth band, deeper and deeper: a run
        // that reached a depth reached every shallower one.
        const RatedFigure& before = figures[i > 0 ? i - 1 : 0];
        if (i > 0 && i <= deepestDepthBands.size() && count > before.of(row))
            return "'" + figures[i].name + "' is more than '" + before.name + "'";
    }
    if (row.bestScore < 0 || row.bestScore > perfectScore)
        return "'best score' is not from 0 to " + std::to_string(perfectScore);
    if (!(row.medianDepth >= -1 && row.medianDepth < depthCount))
        return "'median depth' is not from -1 to " + std::to_string(depthCount - 1);
    return "";
}

// "1,2".
std::string pairText(SeedPair seeds) {
    return printed("%lu,%lu", static_cast<unsigned long>(seeds.main),
                   static_cast<unsigned long>(seeds.group));
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos) return fields;
        start = comma + 1;
    }
}

// Reads a row of the fields of `columns`, each read by its column; false when it is none.
bool readRow(std::string_view line, const std::vector<SweepColumn>& columns, YieldRow& row) {
    const std::vector<std::string_view> fields = fieldsOf(line);
    if (fields.size() != columns.size()) return false;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (!columns[i].read(fields[i], row)) return false;
    return true;
}

std::string sweepTotals(const std::vector<YieldRow>& rows) {
    double seconds = 0;
    std::int64_t nodes = 0;
    for (const YieldRow& row : rows) {
        seconds += row.cpuSeconds;
        nodes = countSum(nodes, row.nodes);
    }
    return printed("%zu seed pairs, %.1f CPU seconds, %lld nodes", rows.size(), seconds,
                   static_cast<long long>(nodes));
}

}  // namespace

SeedPair seedPairOf(SeedPair first, int k) {
    const auto step = static_cast<std::uint32_t>(2 * k);
    return {first.main + step, first.group + step};
}

std::string yieldRowHeader() {
    std::string header;
    for (const SweepColumn& column : sweepColumns())
        header.append(header.empty() ? "" : ",").append(column.name);
    return header + "\n";
}

std::string yieldRowLine(const YieldRow& row) {
    std::string line;
    for (const SweepColumn& column : sweepColumns())
        line.append(line.empty() ? "" : ",").append(column.written(row));
    return line + "\n";
}

std::optional<std::vector<YieldRow>> readYieldRows(std::string_view text, std::string& problem) {
    std::vector<YieldRow> rows;
    bool headerSeen = false;
    // The header names the columns as the table does, in its order; every row is read by them.
    const std::string header = yieldRowHeader();
    const std::vector<SweepColumn> columns = sweepColumns();
    int lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;
        if (!headerSeen) {
            if (std::string(line) + "\n" != header) {
                problem = printed("line %d is not the header of a sweep's rows", lineNumber);
                return std::nullopt;
            }
            headerSeen = true;
            continue;
        }
        YieldRow row;
        if (!readRow(line, columns, row)) {
            problem = printed("line %d is not a row of a sweep", lineNumber);
            return std::nullopt;
        }
        if (const std::string fault = outOfRange(row); !fault.empty()) {
            problem = printed("line %d is out of range: ", lineNumber) + fault;
            return std::nullopt;
        }
        rows.push_back(row);
    }
    if (!headerSeen) {
        problem = "no sweep rows in it";
        return std::nullopt;
    }
    return rows;
}

std::string yieldSummary(const std::vector<YieldRow>& rows) {
    std::string text = "# " + sweepTotals(rows) + "\n";
    text += printed("# %-16s %10s %10s %10s %10s\n", "per CPU-minute", "median", "least", "most",
                    "all pairs");
    for (const RatedFigure& figure : ratedFigures()) {
        std::vector<double> rates;
        for (const YieldRow& row : rows)
            rates.push_back(perMinute(figure.of(row), row.cpuSeconds));
        const auto [least, most] = std::minmax_element(rates.begin(), rates.end());
        text += printed("# %-16s %10.3g %10.3g %10.3g %10.3g\n", figure.name.c_str(),
                        medianOf(rates), rates.empty() ? 0.0 : *least, rates.empty() ? 0.0 : *most,
                        pooledRate(rows, figure));
    }
    int best = 0;
    std::vector<double> depths;
    for (const YieldRow& row : rows) {
        best = std::max(best, row.bestScore);
        depths.push_back(row.medianDepth);
    }
    return text + printed("# best score %d; median of the pairs' median deepest depths %g\n", best,
                          medianOf(depths));
}

double signTestP(int wins, int losses) {
    const int n = wins + losses;
    const int k = std::min(wins, losses);
    // P(X <= k) for X ~ Binomial(n, 1/2), doubled: the chance of a split at least as uneven.
    // The binomial coefficients are summed as tail * 2^scale, scaled down as they grow, and
    // 2^-n is taken last: 0.5^n alone is 0 past 1074 pairs.
    double tail = 0;
    double term = 1;
    int scale = -n;
    for (int i = 0; i <= k; ++i) {
        tail += term;
        term = term * (n - i) / (i + 1);
        if (tail > 0x1p900) {
            tail = std::ldexp(tail, -900);
            term = std::ldexp(term, -900);
            scale += 900;
        }
    }
    tail = std::ldexp(tail, scale);
    return std::min(1.0, 2 * tail);
}

namespace {

using RowsByPair = std::map<std::uint64_t, const YieldRow*>;

// The rows of a sweep (the `which` sweep) by seed pair, or nothing with `problem` set when a
// seed pair is in it twice.
std::optional<RowsByPair> rowsByPair(const std::vector<YieldRow>& rows, const char* which,
                                     std::string& problem) {
    RowsByPair byPair;
    for (const YieldRow& row : rows)
        if (!byPair.emplace(std::uint64_t{row.seeds.main} << 32 | row.seeds.group, &row).second) {
            problem = "seed pair " + pairText(row.seeds) + " is in the " + which + " sweep twice";
            return std::nullopt;
        }
    return byPair;
}

// Whether every seed pair of `rows` (the `which` sweep) is in `other`; else `problem` names the
// lowest that is not.
bool pairsFound(const RowsByPair& rows, const RowsByPair& other, const char* which,
                std::string& problem) {
    for (const auto& [key, row] : rows)
        if (!other.contains(key)) {
            problem = "seed pair " + pairText(row->seeds) + " is in the " + which + " sweep only";
            return false;
        }
    return true;
}

}  // namespace

std::optional<std::string> compareSweeps(const std::vector<YieldRow>& a,
                                         const std::vector<YieldRow>& b, std::string& problem) {
    const auto inA = rowsByPair(a, "first", problem);
    const auto inB = inA ? rowsByPair(b, "second", problem) : std::nullopt;
    if (!inB || !pairsFound(*inA, *inB, "first", problem) ||
        !pairsFound(*inB, *inA, "second", problem))
        return std::nullopt;
    if (a.empty()) {
        problem = "the sweeps have no rows";
        return std::nullopt;
    }
    std::vector<std::pair<const YieldRow*, const YieldRow*>> pairs;
    for (const auto& [key, row] : *inA)
        pairs.emplace_back(row, inB->at(key));
    std::string text = "# A: " + sweepTotals(a) + "\n# B: " + sweepTotals(b) + "\n";
    text += printed("# %-16s %10s %10s %7s %8s %8s %7s\n", "per CPU-minute", "A", "B", "B/A",
                    "B ahead", "A ahead", "p");
    for (const RatedFigure& figure : ratedFigures()) {
        int bAhead = 0, aAhead = 0;
        for (const auto& [rowA, rowB] : pairs) {
            const double rateA = perMinute(figure.of(*rowA), rowA->cpuSeconds);
            const double rateB = perMinute(figure.of(*rowB), rowB->cpuSeconds);
            bAhead += rateB > rateA;
            aAhead += rateA > rateB;
        }
        const double rateA = pooledRate(a, figure);
        const double rateB = pooledRate(b, figure);
        const std::string ratio = rateA > 0 ? printed("%7.3f", rateB / rateA) : "      -";
        text += printed("# %-16s %10.3g %10.3g %s %8d %8d %7.3f\n", figure.name.c_str(), rateA,
                        rateB, ratio.c_str(), bAhead, aAhead, signTestP(bAhead, aAhead));
    }
    // The best score is no rate: the best of each sweep, and on how many pairs each was higher.
    int bestA = 0, bestB = 0, bHigher = 0, aHigher = 0;
    for (const auto& [rowA, rowB] : pairs) {
        bestA = std::max(bestA, rowA->bestScore);
        bestB = std::max(bestB, rowB->bestScore);
        bHigher += rowB->bestScore > rowA->bestScore;
        aHigher += rowA->bestScore > rowB->bestScore;
    }
    text += printed("# %-16s %10d %10d %7s %8d %8d %7.3f\n", "best score", bestA, bestB, "-",
                    bHigher, aHigher, signTestP(bHigher, aHigher));
    return text;
}

namespace {

// Takes the row of a benchmark that has ended, or says why there is none, naming the program.
void takeRow(const EndedChild& ended, const std::vector<std::string>& command,
             SweepResult& result) {
    std::string unread;
    const auto read = readYieldRows(ended.output, unread);
    const int status = ended.status;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && read && read->size() == 1) {
        result.rows[ended.tag] = read->front();
        return;
    }
    if (!result.error.empty()) return;
    result.error =
        command.front() + " (" + std::to_string(ended.tag + 1) + " of the sweep)" +
        (WIFSIGNALED(status)        ? " ended by signal " + std::to_string(WTERMSIG(status))
         : WEXITSTATUS(status) != 0 ? " ended with status " + std::to_string(WEXITSTATUS(status))
                                    : " printed no row: " + unread);
}

}  // namespace

SweepResult runSweep(const std::vector<std::vector<std::string>>& commands, int jobs,
                     bool progress) {
    SweepResult result;
    result.rows.resize(commands.size());
    ChildPool pool(longestOutput);
    const auto start = [&](std::size_t index) {
        std::vector<char*> argv;
        for (const std::string& argument : commands[index])
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        return pool.start(
            index,
            [&argv](int output) {
                dup2(output, STDOUT_FILENO);
                execv(argv[0], argv.data());
            },
            result.error);
    };
    std::size_t started = 0, ended = 0;
    while (ended < commands.size()) {
        while (result.error.empty() && started < commands.size() &&
               static_cast<int>(pool.running()) < jobs) {
            if (!start(started)) break;
            ++started;
        }
        for (const EndedChild& child : pool.collect()) {
            takeRow(child, commands[child.tag], result);
            ++ended;
        }
        if (progress)
            std::fprintf(stderr, "\r%zu of %zu benchmarks done   ", ended, commands.size());
        if (!result.error.empty() || ended == commands.size()) break;
        const int signal = pool.wait(std::chrono::seconds(1));
        if (signal != 0) {
            result.stopSignal = signal;
            result.error = std::string("stopped by ") + strsignal(signal);
            break;
        }
    }
    if (progress) std::fprintf(stderr, "\r%-78s\r", "");
    return result;
}
