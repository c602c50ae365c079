#include "tests/tools/common/status_page_reader.h"

#include <sstream>

#include "tests/test_support.h"

namespace {

// Prints one fact per line, tab-separated, from the page named by its argument.
const char* const pageScript = R"(import sys
import xml.etree.ElementTree as ET
try:
    root = ET.parse(sys.argv[1]).getroot()
except ET.ParseError as error:
    print('problem\t' + str(error))
    sys.exit(0)
h = '{http://www.w3.org/1999/xhtml}'
s = '{http://www.w3.org/2000/svg}'
def text(e):
    return ''.join(e.itertext()).strip()
print('parsed')
for m in root.iter(h + 'meta'):
    if m.get('http-equiv') == 'refresh':
        print('reload\t' + m.get('content'))
print('triangles\t%d' % sum(1 for e in root.iter(s + 'polygon') if e.get('class') == 'tri'))
print('mismatches\t%d' % sum(1 for e in root.iter(s + 'g') if e.get('class') == 'mismatch'))
for e in root.iter(s + 'rect'):
    if e.get('class') == 'bar' and e.get('data-score') is not None:
        print('bar\t' + e.get('data-score') + '\t' + e.get('data-boards'))
    elif e.get('class') == 'bar':
        print('depth-bar\t' + e.get('data-band') + '\t' + e.get('data-runs'))
for e in root.iter(s + 'polyline'):
    if e.get('class') == 'plot-line':
        print('plot\t%d' % len(e.get('points').split()))
for table in root.iter(h + 'table'):
    for row in table.iter(h + 'tr'):
        cells = [text(c) for c in row if c.tag in (h + 'th', h + 'td')]
        if table.get('id') == 'totals':
            print('total\t' + '\t'.join(cells))
        elif table.get('id') == 'directories' and row.find(h + 'td') is not None:
            print('directory\t' + '\t'.join(cells))
body = root.find(h + 'body')
print('text\t' + ' '.join(text(body).split()))
)";

std::vector<std::string> tabFields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, '\t');)
        fields.push_back(field);
    return fields;
}

}  // namespace

PageFacts readPage(const std::string& path) {
    TempDir scratch;
    writeFile(scratch.file("page_facts.py"), pageScript);
    const ProgramResult result = runProgram("python3 page_facts.py '" + path + "'", scratch.path);
    PageFacts facts;
    if (result.status != 0) facts.problem = result.err;
    for (const std::string& line : linesOf(result.out)) {
        const std::vector<std::string> f = tabFields(line);
        if (f.empty()) continue;
        const std::string& kind = f[0];
        if (kind == "parsed") facts.parsed = true;
        if (f.size() < 2) continue;
        if (kind == "problem") facts.problem = f[1];
        if (kind == "reload") facts.reloadSeconds = std::stoi(f[1]);
        if (kind == "triangles") facts.triangles = std::stoi(f[1]);
        if (kind == "mismatches") facts.mismatchMarks = std::stoi(f[1]);
        if (kind == "bar" && f.size() == 3) facts.bars[std::stoi(f[1])] = std::stoll(f[2]);
        if (kind == "depth-bar" && f.size() == 3) facts.depthBars[f[1]] = std::stoll(f[2]);
        if (kind == "plot") facts.plotPoints.push_back(std::stoi(f[1]));
        if (kind == "total" && f.size() == 3) facts.totals[f[1]] = f[2];
        if (kind == "directory") facts.directories.emplace_back(f.begin() + 1, f.end());
        if (kind == "text") facts.text = f[1];
    }
    return facts;
}
