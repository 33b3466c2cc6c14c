#include "reports/ReportTestKit.h"

#include "reports/HeadTemplate.h"

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
    std::vector<std::string> rows;
    bool inSection = false;
    for (const std::string& line : outline) {
        if (line == "anchor\t" + anchor)
            inSection = true;
        else if (inSection && line == "/table")
            break;
        else if (inSection && (line.rfind("head\t", 0) == 0 || line.rfind("row\t", 0) == 0))
            rows.push_back(line);
    }
    return rows;
}

ReportTest::ReportTest()
{
    SetHeadTemplateFolder(QUORVEL_SOURCE_DIR "/res/runtime");
}

ReportTest::~ReportTest()
{
    SetHeadTemplateFolder("");
}
