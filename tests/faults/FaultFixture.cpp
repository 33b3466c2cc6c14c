#include "faults/FaultFixture.h"

#include <sstream>

size_t FaultTest::LogCount(const std::string& context, const std::string& part) const
{
    size_t count = 0;
    std::istringstream lines(ProgramLog());
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> fields = SplitTabs(line);
        const bool inContext = context.empty() || (fields.size() > 1 && fields[1] == context);
        const std::string message = fields.size() > 2 ? fields[2] : "";
        count += inContext && message.find(part) != std::string::npos ? 1 : 0;
    }
    return count;
}

std::vector<std::string> FaultTest::ReportColumn(size_t field) const
{
    const TextLines report = ReadUtf16Lines(project.reportFile);
    EXPECT_EQ(ReportDefect(report), "");
    std::vector<std::string> column;
    for (size_t i = 1; i < report.lines.size(); ++i)
        column.push_back(SplitTabs(report.lines[i]).at(field));
    return column;
}
