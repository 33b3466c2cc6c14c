#include "faults/FaultFixture.h"

#include <sstream>

std::string FaultTest::SaveProject()
{
    const std::string path = dir.File("project.qvl");
    EXPECT_EQ(project.Save(path), 0);
    return path;
}

QuorvelStart FaultTest::Isolated() const
{
    QuorvelStart start;
    start.env.push_back("XDG_STATE_HOME=" + dir.File("state"));
    return start;
}

std::string FaultTest::ProgramLogPath() const
{
    return dir.File("state/quorvel/quorvel.log");
}

std::vector<LogEntry> FaultTest::ProgramLog() const
{
    std::vector<LogEntry> entries;
    std::istringstream lines(ReadFile(ProgramLogPath()));
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> fields = SplitTabs(line);
        entries.push_back(LogEntry { fields.size() > 1 ? fields[1] : "", fields.size() > 2 ? fields[2] : "" });
    }
    return entries;
}

size_t FaultTest::LogCount(const std::string& context, const std::string& part) const
{
    size_t count = 0;
    for (const LogEntry& entry : ProgramLog())
        count += entry.context == context && entry.message.find(part) != std::string::npos ? 1 : 0;
    return count;
}
