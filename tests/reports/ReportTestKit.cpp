#include "reports/ReportTestKit.h"

#include <algorithm>
#include <iterator>
#include <sstream>

std::vector<std::string> Outline(const std::string& path)
{
    const ProcessResult result = RunProcess({ "python3", QUORVEL_SOURCE_DIR "/tests/reports/html_outline.py", path });
    EXPECT_EQ(result.status, 0) << result.err;
    std::vector<std::string> lines;
    std::istringstream in(result.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    EXPECT_EQ(Items(lines, "ERROR"), std::vector<std::string> {}) << path;
    return lines;
}

std::vector<std::string> Items(const std::vector<std::string>& outline, const std::string& kind)
{
    std::vector<std::string> items;
    for (const std::string& line : outline) {
        if (line.rfind(kind + "\t", 0) == 0)
            items.push_back(line.substr(kind.size() + 1));
    }
    return items;
}

std::vector<std::string> SectionRows(const std::vector<std::string>& outline, const std::string& anchor)
{
    const auto begin = std::find(outline.begin(), outline.end(), "anchor\t" + anchor);
    std::vector<std::string> rows;
    std::copy_if(begin, std::find(begin, outline.end(), "/table"), std::back_inserter(rows),
        [](const std::string& line) { return line.starts_with("head\t") || line.starts_with("row\t"); });
    return rows;
}
