#include "external/support/CLog.h"

#include "external/support/CSettings.h"
#include "external/support/Clock.h"
#include "external/support/Console.h"
#include "external/support/LogFile.h"
#include "external/support/StrFormat.h"
#include "external/support/XdgPaths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <mutex>

namespace {

constexpr size_t kKeptRows = 200;
constexpr int kDefaultLogMaxKB = 10240;

struct LogState {
    std::mutex mutex;
    std::string path;
    std::deque<std::string> lastRows;
    bool failing = false; // the last entry could not be written: entries go to standard error
};

// Never destroyed: a thread that outlives main (the one that reaps started programs tells how
// they ended) may still log while the exit handlers run.
LogState& State()
{
    static LogState* const state = new LogState;
    return *state;
}

// An entry stays on one line whatever its parts hold.
std::string OneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    }
    return text;
}

std::string Timestamp()
{
    const LocalMoment now = LocalNow();
    char text[32] = "";
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &now.tm);
    return StrFormat("%s.%03d", text, now.ms);
}

std::string DefaultPath()
{
    return StateDir() + "/quorvel.log";
}

// The preference is read for every entry, so a change on the settings page applies at once.
off_t LogLimitBytes()
{
    const int kib = SettingInt("LogMaxKB", kDefaultLogMaxKB);
    return kib > 0 ? static_cast<off_t>(kib) * 1024 : 0;
}

} // namespace

namespace {

// The message of the calling thread's latest entry: the reason of a step that failed.
thread_local std::string t_lastMessage;
// What the calling thread's entries name (CLog::Scope), or null.
thread_local const std::string* t_label = nullptr;

std::string Labelled(const std::string& message)
{
    if (t_label == nullptr || message.find(*t_label) != std::string::npos)
        return message;
    return message + " (" + *t_label + ")";
}

// Nothing the operator must know may exist only in a log that cannot be written: while the file
// fails, its entries go to standard error, after one line that says why.
void WriteToStandardError(LogState& state, const std::string& path, const std::string& row, int error)
{
    std::string text;
    if (!state.failing)
        text = "quorvel: the program log " + path + " cannot be written (" + std::strerror(error)
            + "); its entries follow here\n";
    text += "quorvel: log: " + row + "\n";
    ConsoleError(text);
}

} // namespace

void CLog::Bug(const std::string& message, const char* context, const char* file, int line)
{
    t_lastMessage = TrimLineEnd(message);
    std::string row = Timestamp() + "\t" + OneLine(context != nullptr ? context : "") + "\t" +
                      OneLine(Labelled(t_lastMessage));
    if (file != nullptr)
        row += StrFormat("\t%s:%d", file, line);
    const off_t limit = LogLimitBytes();
    LogState& state = State();
    std::lock_guard lock(state.mutex);
    const std::string path = state.path.empty() ? DefaultPath() : state.path;
    const bool written = AppendLogEntry(path, row + "\n", limit) == 0;
    if (!written)
        WriteToStandardError(state, path, row, errno);
    state.failing = !written;
    state.lastRows.push_back(std::move(row));
    if (state.lastRows.size() > kKeptRows)
        state.lastRows.pop_front();
}

CLog::Scope::Scope(std::string label) : label_(std::move(label)), outer_(t_label)
{
    t_label = &label_;
}

CLog::Scope::~Scope()
{
    t_label = outer_;
}

const std::string& CLog::LastMessage()
{
    return t_lastMessage;
}

void CLog::ForgetLastMessage()
{
    t_lastMessage.clear();
}

void CLog::FormatLastError(std::string& out, int)
{
    out = std::strerror(errno);
}

std::string CLog::GetLastRows()
{
    LogState& state = State();
    std::lock_guard lock(state.mutex);
    std::string text;
    for (const std::string& row : state.lastRows)
        text += row + "\n";
    return text;
}

std::string CLog::VersionStr(int)
{
    return QUORVEL_VERSION;
}

void CLog::SetPath(const std::string& path)
{
    LogState& state = State();
    std::lock_guard lock(state.mutex);
    state.path = path;
    state.lastRows.clear();
}

std::string CLog::Path()
{
    LogState& state = State();
    std::lock_guard lock(state.mutex);
    return state.path.empty() ? DefaultPath() : state.path;
}

int CLog::Truncate()
{
    return TruncateLogFile(Path());
}
