#include "support/TestEnv.h"

#include "external/support/CLog.h"
#include "external/support/StrFormat.h"
#include "external/support/Utf16.h"
#include "support/RunningQuorvel.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

} // namespace

TextLines ReadUtf16Lines(const std::string& path)
{
    const std::string bytes = ReadFile(path);
    if (bytes.compare(0, 2, "\xFF\xFE") != 0)
        return { {}, "no byte-order mark" };
    TextLines result;
    if (bytes.size() % 2 != 0)
        result.defect
            = StrFormat("an odd number of bytes (%d): a code unit is cut in half", static_cast<int>(bytes.size()));
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(
            static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    size_t start = 0;
    for (size_t end; (end = text.find(u"\r\n", start)) != std::u16string::npos; start = end + 2) {
        const std::u16string_view line = std::u16string_view(text).substr(start, end - start);
        result.lines.push_back(Utf16ToUtf8(line));
        // An unpaired surrogate reads as U+FFFD, which does not encode back to the file's bytes.
        const bool whole = line.find_first_of(u"\r\n") == std::u16string_view::npos
            && Utf8ToUtf16Le(result.lines.back()) == bytes.substr(2 + 2 * start, 2 * line.size());
        if (!whole && result.defect.empty())
            result.defect = StrFormat(
                "line %d holds a lone CR or LF, or an unpaired surrogate", static_cast<int>(result.lines.size()));
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

namespace {

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

} // namespace

size_t OpenDescriptors(pid_t pid)
{
    return NumericEntries("/proc/" + std::to_string(pid) + "/fd").size();
}

// /proc/PID/stat reads "pid (name) state ppid ...", where the name may hold blanks and parentheses.
std::vector<pid_t> ChildrenOf(pid_t parent, char state)
{
    std::vector<pid_t> children;
    for (const std::string& pid : NumericEntries("/proc")) {
        const std::string stat = ReadFile("/proc/" + pid + "/stat");
        char is = 0;
        pid_t ppid = 0;
        const size_t nameEnd = stat.rfind(')');
        if (nameEnd != std::string::npos && std::sscanf(stat.c_str() + nameEnd + 1, " %c %d", &is, &ppid) == 2
            && ppid == parent && (state == 0 || is == state))
            children.push_back(std::stoi(pid));
    }
    return children;
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
    RunningQuorvel program(args, extraEnv);
    const int status = program.Wait();
    return ProcessResult { status, program.Output(), program.Errors() };
}

void RunInProcesses(int count, const std::function<int(int)>& body)
{
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    for (int i = 0; i < count; ++i) {
        if (::fork() == 0) {
            ::close(gate[1]);
            char c;
            (void)::read(gate[0], &c, 1); // returns when the parent closes its end: all start together
            ::_exit(body(i) == 0 ? 0 : 1);
        }
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (int status = -1; ::wait(&status) > 0;)
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
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
    ::setenv("XDG_RUNTIME_DIR", (dir_.path() + "/run").c_str(), 1); // the status snapshots of runs
    CLog::SetPath(dir_.path() + "/quorvel.log");
}

const std::string& TestStateDir()
{
    return *g_stateDir;
}
