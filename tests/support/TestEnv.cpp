#include "support/TestEnv.h"

#include "external/support/CLog.h"
#include "external/support/StrFormat.h"
#include "external/support/Utf16.h"
#include "support/RunningQuorvel.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sstream>
#include <stdexcept>
#include <thread>

TempDir::TempDir()
{
    std::string pattern = std::filesystem::temp_directory_path().string() + "/quorvel-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string MakeSqliteFile(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        ADD_FAILURE() << "cannot make " << path << ": " << error;
        sqlite3_free(error);
    }
    sqlite3_close(db);
    return path;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

std::vector<std::string> LogRowsNaming(const std::string& needle)
{
    std::istringstream rows(CLog::GetLastRows());
    std::vector<std::string> found;
    for (std::string row; std::getline(rows, row);) {
        if (row.find(needle) != std::string::npos)
            found.push_back(row);
    }
    return found;
}

namespace {

constexpr const char* kReportHeader = "Date\tTime\tEvent\tTotal (ms)\tCheck time (ms)\tFetch Time (ms)\t"
                                      "Action Time (ms)\tFetched Rows\tStatus\tAction SQL";
constexpr size_t kReportFields = 10;

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
    const auto IsHighSurrogate = [](char16_t u) { return u >= 0xD800 && u <= 0xDBFF; };
    const auto IsLowSurrogate = [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
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

std::vector<std::string> ReportLines(const std::string& path)
{
    TextLines read = ReadUtf16Lines(path);
    EXPECT_EQ(read.defect, "") << path;
    return read.lines;
}

// The numeric entries of a /proc folder. Processes come and go while it is read: an entry that
// vanishes ends the reading early rather than failing it.
std::vector<std::string> NumericEntries(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (std::isdigit(static_cast<unsigned char>(name[0])))
            names.push_back(name);
    }
    return names;
}

size_t OpenDescriptors(pid_t pid)
{
    return NumericEntries("/proc/" + std::to_string(pid) + "/fd").size();
}

// /proc/PID/stat reads "pid (name) state ppid ...", where the name may hold blanks and parentheses.
size_t ChildrenOf(pid_t parent, char state)
{
    size_t count = 0;
    for (const std::string& pid : NumericEntries("/proc")) {
        std::ifstream in("/proc/" + pid + "/stat");
        std::string stat;
        std::getline(in, stat);
        const size_t nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos)
            continue;
        std::istringstream rest(stat.substr(nameEnd + 1));
        char is = 0;
        pid_t ppid = 0;
        rest >> is >> ppid;
        count += ppid == parent && (state == 0 || is == state) ? 1 : 0;
    }
    return count;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

ProcessResult RunProcess(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
{
    RunningQuorvel program(args, QuorvelStart { extraEnv });
    const int status = program.Wait();
    return ProcessResult { status, program.Output(), program.Errors() };
}

ProcessResult RunQuorvel(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
{
    std::vector<std::string> all { QUORVEL_BINARY };
    all.insert(all.end(), args.begin(), args.end());
    return RunProcess(all, extraEnv);
}

namespace {

const std::string* g_stateDir = nullptr;

} // namespace

TestState::TestState()
{
    g_stateDir = &dir_.path();
    ::setenv("XDG_CONFIG_HOME", (dir_.path() + "/config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (dir_.path() + "/state").c_str(), 1);
    CLog::SetPath(dir_.path() + "/quorvel.log");
}

TestState::~TestState()
{
    g_stateDir = nullptr;
}

const std::string& TestStateDir()
{
    return *g_stateDir;
}
