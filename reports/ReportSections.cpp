#include "reports/ReportSections.h"

#include "external/support/CLog.h"
#include "external/support/MessageBox.h"
#include "external/support/StrFormat.h"
#include "model/QuorvelRunner.h"
#include "reports/MultiReport.h"
#include "res/Strings.h"

namespace {

constexpr const char* kSummaryAnchor = "P0";
constexpr const char* kHeadTemplate = "head.htm";

std::string EventAnchor(int position)
{
    return StrFormat("P%d", position);
}

std::string EventTitle(int position)
{
    return StrFormat("Event #%d", position);
}

} // namespace

bool BeginReport(MultiReport& report, const std::string& title, const std::string& path, bool box)
{
    report.AddProperty("%TITLE%", title);
    report.AddProperty("%LANGUAGE%", "en-us");
    report.AddProperty("%CHARSET%", MultiReport::kCharset);
    report.AddProperty("%AUTHOR%", "");
    report.AddProperty("%DESCRIPTION%", "");
    report.AddReport(REPORT_HTML, path, kHeadTemplate);
    if (report.Open() != REPORT_OK) {
        if (box)
            ShowMessageBox(LoadString(IDS_REPORT_OPEN_FAILED), path, MB_ICONERROR);
        return false;
    }
    report.Text(title, PARA_TITLE);
    return true;
}

void BeginEventSection(AReport& report, int position, const Quorvel& event, const char* firstColumn)
{
    report.Ancor(EventAnchor(position));
    report.Text(EventTitle(position), PARA_HEADING);
    if (!event.EventNote.empty())
        report.Text(event.EventNote, PARA_NOTE);
    report.BeginTable();
    report.Row2(firstColumn, "Value", 1, AReport::kNameColumnStyle);
}

int QuorvelRunner::WriteContents(MultiReport& report, bool allEvents)
{
    report.BeginLinks();
    report.Link(kSummaryAnchor, "Summary");
    int enabledCount = 0;
    for (int i = 1; i <= Count(); ++i) {
        const bool enabled = events[static_cast<size_t>(i - 1)].enabled != 0;
        if (enabled)
            ++enabledCount;
        if (enabled || allEvents)
            report.Link(EventAnchor(i), EventTitle(i));
    }
    report.EndLinks();
    return enabledCount;
}

void QuorvelRunner::WriteSummarySection(MultiReport& report, int enabledCount, bool full)
{
    report.Ancor(kSummaryAnchor);
    report.Text("Summary", PARA_HEADING);
    report.BeginTable();
    report.AttributeRowHeader();
    report.ReportCreated();
    report.Row2("Events", StrFormat("%d, enabled %d", Count(), enabledCount));
    if (full) {
        report.Row2("Author", author);
        report.Row2("Project Description", description);
        report.Row2("Custom Log File", logFile);
        report.Row2("Execution Report File", reportFile);
        report.Row2("Summary Report File", summaryFile);
        // Only a project with a timeout has the row: the others read as they always did.
        if (checkTimeout > 0)
            report.Row2("Check Timeout", StrFormat("%d s", checkTimeout));
        if (shareConnections != 0)
            report.Row2("Shared Connections", "Yes");
    }
    report.Row2("Olvex Quorvel", CLog::VersionStr(0));
    report.EndTable();
}
