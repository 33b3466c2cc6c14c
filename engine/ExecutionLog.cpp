// The execution report and the custom log: every execution is one line of the report, every log
// action one line of the custom log, written under the runner's lock.
#include "engine/Iteration.h"
#include "engine/ReportFile.h"
#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "external/support/Clock.h"
#include "external/support/DateAndTimeMacros.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"

#include <ctime>

namespace {

constexpr const char* kReportHeader = "Date\tTime\tEvent\tTotal (ms)\tCheck time (ms)\tFetch Time (ms)\t"
                                      "Action Time (ms)\tFetched Rows\tStatus\tAction SQL\r\n";

// Tabs and line breaks inside a field would split the report's columns or lines.
std::string OneField(std::string text)
{
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

std::string ExpandMacros(const std::string& text)
{
    return DateAndTimeMacros(text, SettingStr("MacroDateFmt"), SettingStr("MacroTimeFmt"));
}

std::string DateText()
{
    const LocalMoment now = LocalNow();
    char text[32] = "";
    return std::strftime(text, sizeof text, "%d-%b-%Y", &now.tm) == 0 ? std::string() : std::string(text);
}

} // namespace

void Quorvel::RecordExecution(const Iteration& it)
{
    ExecRecord record{it.status, it.end - it.start, it.afterCheck - it.start, it.fetchEnd - it.fetchStart,
                      it.end - it.afterCheck, it.rows};
    record.actionRun = it.actionRun;
    record.value = value;
    record.endTime = static_cast<int64_t>(std::time(nullptr));
    record.endMs = UnixMilliseconds();
    const std::string name = EventNote.empty() ? Description(-1) : EventNote;
    WriteRecord(StrFormat("%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%s\t%s\r\n", DateText().c_str(), TimeOfDayText().c_str(),
                          OneField(name).c_str(), static_cast<int>(record.totalTime),
                          static_cast<int>(record.checkTime), static_cast<int>(record.fetchTime),
                          static_cast<int>(record.actionTime), record.rows, record.status.c_str(),
                          OneField(it.actionText).c_str()),
                false);
    if (runner == nullptr)
        return;
    std::lock_guard lock(runner->lock);
    results.Add(record);
}

void Quorvel::WriteRecord(const std::string& text, bool customLog)
{
    const std::string line = ExpandMacros(ReplaceAll(text, "$VALUE$", customLog ? value : OneField(value)));
    if (runner == nullptr)
        return;
    QuorvelRunner& project = *runner;
    std::lock_guard lock(project.lock);
    if (customLog && project.logFile.empty()) {
        CLog::Bug(line, "User mesage: ");
        return;
    }
    const std::string& file = customLog ? project.logFile : project.reportFile;
    if (file.empty())
        return;
    std::string& current = customLog ? project.currentLogFile : project.currentReportFile;
    current = ExpandMacros(file);
    if (customLog)
        project.logOutput.Append(current, "", line + "\r\n");
    else
        project.reportOutput.Append(current, kReportHeader, line);
}
