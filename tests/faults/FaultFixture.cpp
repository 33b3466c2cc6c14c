#include "faults/FaultFixture.h"

#include "external/support/StrFormat.h"
#include "external/support/Utf16.h"

#include <sstream>

namespace {

constexpr const char* kReportHeader = "Date\tTime\tEvent\tTotal (ms)\tCheck time (ms)\tFetch Time (ms)\t"
                                      "Action Time (ms)\tFetched Rows\tStatus\tAction SQL";
constexpr size_t kReportFields = 10;

bool IsHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

// The text of a file's bytes after the byte-order mark as code units; empty `defect` when whole.
std::u16string CodeUnits(const std::string& bytes, std::string& defect)
{
    if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0) {
        defect = "no byte-order mark";
        return {};
    }
    if (bytes.size() % 2 != 0)
        defect = StrFormat("an odd number of bytes (%d): a code unit is cut in half", static_cast<int>(bytes.size()));
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(
            static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8));
    return units;
}

// The defect of one line's code units (no CR, LF or unpaired surrogate), or empty.
std::string LineDefect(std::u16string_view line, size_t number)
{
    for (size_t i = 0; i < line.size(); ++i) {
        const char16_t u = line[i];
        if (u == u'\r' || u == u'\n')
            return StrFormat("line %d holds a lone %s", static_cast<int>(number), u == u'\r' ? "CR" : "LF");
        const bool paired = IsHighSurrogate(u) ? i + 1 < line.size() && IsLowSurrogate(line[++i]) : !IsLowSurrogate(u);
        if (!paired)
            return StrFormat("line %d holds an unpaired surrogate", static_cast<int>(number));
    }
    return {};
}

} // namespace

TextLines ReadUtf16Lines(const std::string& path)
{
    TextLines result;
    const std::u16string units = CodeUnits(ReadFile(path), result.defect);
    const std::u16string_view text(units);
    size_t start = 0;
    for (size_t end; (end = text.find(u"\r\n", start)) != std::u16string_view::npos; start = end + 2) {
        const std::u16string_view line = text.substr(start, end - start);
        if (result.defect.empty())
            result.defect = LineDefect(line, result.lines.size() + 1);
        result.lines.push_back(Utf16ToUtf8(line));
    }
    if (start < text.size() && result.defect.empty())
        result.defect
            = StrFormat("the file ends inside line %d, without CR LF", static_cast<int>(result.lines.size() + 1));
    return result;
}

std::string ReportDefect(const TextLines& report)
{
    if (!report.defect.empty())
        return report.defect;
    if (report.lines.empty() || report.lines[0] != kReportHeader)
        return "the report does not begin with its header";
    for (size_t i = 1; i < report.lines.size(); ++i) {
        if (SplitTabs(report.lines[i]).size() != kReportFields)
            return StrFormat("line %d has not ten fields: %s", static_cast<int>(i + 1), report.lines[i].c_str());
    }
    return {};
}

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
