#include "tools/common/status_page.h"

#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "tools/common/board_check.h"
#include "tools/common/page_charts.h"
#include "tools/common/statistics_merge.h"
#include "tools/common/svg_drawing.h"
#include "tools/common/text_joining.h"

namespace {

// The page's own style. The board picture brings its style sheet, which names plain SVG
// text and the classes of the board; the rules for the charts are more specific than those.
constexpr const char* pageStyle =
    R"(body { font-family: sans-serif; color: #222; background: #fafafa;
  margin: 18px 24px; max-width: 1160px; }
h1 { font-size: 22px; margin: 0 0 2px 0; }
h2 { font-size: 16px; margin: 20px 0 8px 0; padding-bottom: 3px; border-bottom: 1px solid #ccc; }
p.stamp { color: #666; font-size: 13px; margin: 0; }
p.note { color: #8a4b00; }
.row { display: flex; flex-wrap: wrap; gap: 8px 28px; align-items: flex-start; }
table { border-collapse: collapse; font-size: 14px; }
th, td { padding: 3px 10px; border-bottom: 1px solid #e4e4e4; }
th { text-align: left; font-weight: 600; }
td { text-align: right; font-variant-numeric: tabular-nums; }
td.name { text-align: left; }
td.skipped { text-align: left; color: #8a4b00; }
#totals td { font-size: 18px; font-weight: 600; }
pre { font-size: 13px; background: #fff; border: 1px solid #ddd; padding: 8px 10px; }
ol.boards { font-family: monospace; font-size: 14px; }
svg.chart { background: #fff; border: 1px solid #ddd; }
svg.chart text { font-family: sans-serif; font-size: 11px; fill: #333; text-anchor: middle; }
svg.chart text.value-tick { text-anchor: end; }
svg.chart text.axis-title { font-size: 12px; fill: #111; }
svg.chart text.bar-count { font-size: 9px; fill: #555; }
svg.chart text.chart-note { font-size: 14px; fill: #888; }
svg.chart .axis { stroke: #333; }
svg.chart .grid { stroke: #e2e2e2; }
svg.chart .bar { fill: #0067a5; }
svg.chart .plot-line { fill: none; stroke: #0067a5; stroke-width: 1.5; stroke-linejoin: round; }
svg.chart .plot-end { fill: #be0032; }
.board-picture svg { max-width: 100%; height: auto; }
)";

std::string element(const char* tag, const std::string& text, const char* attributes = "") {
    return joined("<", tag, attributes, ">", xmlEscaped(text), "</", tag, ">");
}

std::string heading(const std::string& text) {
    return element("h2", text) + "\n";
}

std::string noteParagraph(const std::string& text) {
    return element("p", text, " class=\"note\"") + "\n";
}

std::string totalsTable(const PageContent& content) {
    std::string text = "<table id=\"totals\">\n";
    std::vector<Figure> figures = mergedFigures(content.directories, content.figures);
    const int deepest = content.runDepths.deepest;
    figures.push_back({"Deepest depth", deepest < 0 ? "none" : std::to_string(deepest)});
    for (const Figure& figure : figures)
        text += joined("<tr>", element("th", figure.label), element("td", figure.value), "</tr>\n");
    return text + "</table>\n";
}

std::string directoryTable(const PageContent& content) {
    std::string text =
        "<table id=\"directories\">\n<tr><th>Directory</th><th>Nodes</th><th>Nodes/sec</th>"
        "<th>Best</th></tr>\n";
    for (const DirectoryStatistics& directory : content.directories)
        text += joined("<tr>", element("td", directory.name, " class=\"name\""),
                       element("td", nodesCell(directory.record.nodes, content.figures)),
                       element("td", rateCell(nodeRate(directory.record))),
                       element("td", scoreCell(directory.record.best)), "</tr>\n");
    for (const SkippedDirectory& directory : content.skipped)
        text += joined(
            "<tr>", element("td", directory.name, " class=\"name\""),
            element("td", "not counted: " + directory.problem, " class=\"skipped\" colspan=\"3\""),
            "</tr>\n");
    return text + "</table>\n";
}

std::string historySection(const PageContent& content) {
    std::string text = heading("History");
    if (content.history.points.empty()) {
        text += noteParagraph(content.historyFile.empty()
                                  ? "No history.csv beside these directories (tessaly-farm writes "
                                    "one in its directory; name another with --history FILE)."
                                  : content.historyFile + " holds no history yet.");
        return text;
    }
    const std::vector<HistoryPoint>& points = content.history.points;
    text += joined("<div class=\"row\">\n", historyPlot(points, HistoryMeasure::nodeRate),
                   historyPlot(points, HistoryMeasure::bestScore), "</div>\n");
    text += element("p", joined(content.history.count, " refreshes in ", content.historyFile),
                    " class=\"stamp\"") +
            "\n";
    return text;
}

// A board drawn beside tessaly-show's report of it, under a caption.
std::string pictureBlock(const std::string& caption, const std::string& svg,
                         const std::string& report) {
    std::string text = element("p", caption) + "\n";
    // The picture keeps its own size, unless the window is narrower.
    text += "<div class=\"row\">\n<div class=\"board-picture\">\n" + svg + "</div>\n";
    // The report line by line: the escaping turns a line end into '?'.
    std::string lines;
    for (std::size_t start = 0, end; start < report.size(); start = end + 1) {
        end = report.find('\n', start);
        if (end == std::string::npos) end = report.size();
        lines += xmlEscaped(report.substr(start, end - start)) + "\n";
    }
    return text + "<pre>" + lines + "</pre>\n</div>\n";
}

std::string boardSection(const PageContent& content) {
    const BoardPicture& picture = content.bestBoard;
    std::string text = heading("Best board");
    for (const std::string& note : picture.notes)
        text += noteParagraph(note);
    for (const std::string& note : picture.passedOver)
        text += noteParagraph(note);
    if (content.boards.empty()) return text + noteParagraph("No record boards yet.");
    if (picture.svg.empty()) return text;
    return text + pictureBlock(joined(picture.boardPath, ", checked against ", picture.pieceFile),
                               picture.svg, picture.report);
}

std::string deepestSection(const PageContent& content) {
    const RunDepths& depths = content.runDepths;
    std::string text = heading("Deepest board");
    for (const std::string& problem : depths.problems)
        text += noteParagraph(problem);
    if (!depths.board) return text + noteParagraph("No deepest board (deepest.txt) yet.");
    const DeepestBoard& board = *depths.board;
    return text + pictureBlock(joined(board.path, ": depth ", board.depth, ", ", board.check.filled,
                                      " pieces, ", board.mismatches,
                                      " mismatched edges; checked against ", board.pieceFile),
                               svgElement(board.path, board.board, board.check),
                               reportText(board.path, board.board, board.check));
}

std::string boardList(const PageContent& content) {
    std::string text = heading("Record boards, best first");
    if (content.boards.empty())
        return text + noteParagraph("No record boards in these directories.");
    text += "<ol class=\"boards\">\n";
    for (std::size_t i = 0; i < content.boards.size() && i < listedRecordBoards; ++i)
        text += joined("<li>", content.boards[i].score, "  ", xmlEscaped(content.boards[i].path),
                       "</li>\n");
    return text + "</ol>\n";
}

}  // namespace

std::string statusPage(const PageContent& content) {
    const std::size_t read = content.directories.size();
    std::string count = joined(read, read == 1 ? " directory" : " directories");
    if (!content.skipped.empty()) count += joined(", ", content.skipped.size(), " skipped");
    std::string text =
        "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n"
        "<head>\n<meta charset=\"utf-8\"/>\n";
    if (content.reloadSeconds > 0)
        text += joined("<meta http-equiv=\"refresh\" content=\"", content.reloadSeconds, "\"/>\n");
    text += joined("<title>Tessaly search: ", count, "</title>\n<style>\n", pageStyle,
                   "</style>\n</head>\n<body>\n");
    text += element("h1", "Tessaly search: " + count) + "\n";
    std::string stamp =
        joined("Written by ", content.writtenBy, " at ", utcTimeText(content.writtenAt));
    if (content.reloadSeconds > 0)
        stamp += joined("; the page reloads every ", content.reloadSeconds, " seconds");
    text += element("p", stamp + ".", " class=\"stamp\"") + "\n";

    text += "<div class=\"row\">\n<section>\n";
    text += heading(joined("All ", content.directories.size(), " together")) + totalsTable(content);
    text += "</section>\n<section>\n" + heading("Full boards per score");
    std::vector<StatsRecord> records;
    for (const DirectoryStatistics& directory : content.directories)
        records.push_back(directory.record);
    text += boardCountChart(mergeRecords(records)) + "</section>\n</div>\n";
    text += heading("Runs by deepest depth") + runDepthChart(content.runDepths.runs);
    text += historySection(content);
    text += heading("Directories") + directoryTable(content);
    text += boardSection(content);
    text += deepestSection(content);
    text += boardList(content);
    return text + "</body>\n</html>\n";
}

std::vector<std::string> pageInputs(const PageContent& content) {
    std::vector<std::string> directories = namesOf(content.directories);
    for (const SkippedDirectory& directory : content.skipped)
        directories.push_back(directory.name);
    std::vector<std::string> inputs;
    for (const std::string& directory : directories) {
        const std::string parent = std::filesystem::path(directoryKey(directory)).parent_path();
        for (const std::string& place : {directory, parent})
            for (std::string& file : keptFilesIn(place))
                inputs.push_back(std::move(file));
    }
    for (const RecordBoard& board : content.boards)
        inputs.push_back(board.path);
    for (const std::string& file : {content.bestBoard.pieceFile, content.historyFile})
        if (!file.empty()) inputs.push_back(file);
    for (const std::string& file : content.runDepths.pieceFiles)
        inputs.push_back(file);
    return inputs;
}

std::string historyBeside(const std::vector<DirectoryStatistics>& directories) {
    const std::string parent = sharedParent(namesOf(directories));
    if (parent.empty()) return "";
    const std::string path = pathIn(parent, historyFileName);
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) ? path : "";
}

PageContent pageContent(const ReadDirectories& read, NodeFigures figures, BoardPicture bestBoard,
                        RunDepths runDepths) {
    PageContent content;
    content.directories = read.read;
    content.skipped = read.skipped;
    content.boards = read.boards;
    content.figures = figures;
    content.bestBoard = std::move(bestBoard);
    content.runDepths = std::move(runDepths);
    content.writtenAt = static_cast<std::int64_t>(std::time(nullptr));
    return content;
}
