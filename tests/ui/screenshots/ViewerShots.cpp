#include "screenshots/Shots.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "external/support/CLog.h"
#include "external/support/StrFormat.h"
#include "external/support/Utf16.h"
#include "model/QuorvelRunner.h"
#include "reports/HeadTemplate.h"
#include "ui/gui/HelpWindow.h"
#include "ui/main/PageExReport.h"
#include "ui/main/PageVReport.h"
#include "ui/main/PgLogView.h"

#include <QDir>
#include <QTextBrowser>

namespace {

template <typename Page> void Shoot(ShotContext& shots, Page& page, const QString& name, int height = 600)
{
    page.resize(820, height);
    page.Activate();
    if constexpr (requires { page.Reading(); })
        ServeUntil([&] { return !page.Reading(); });
    shots.Save(page, name);
}

} // namespace

// The help pages, and every viewer over one demo project after a run of it.
void ViewerShots(ShotContext& shots)
{
    HelpWindow::SetPageFolder(QStringLiteral(QUORVEL_SOURCE_DIR "/res/help"));
    for (const char* page : { "index", "tips", "settings" }) {
        HelpWindow window;
        window.resize(760, 620);
        window.ShowPage(QString::fromLatin1(page) + QStringLiteral(".html"));
        shots.Save(window, QStringLiteral("help-") + QString::fromLatin1(page));
    }
    HelpWindow::SetPageFolder({});

    const TempDir folder; // the demo project as the pages see it after a run, with files of its own
    SetHeadTemplateFolder(QUORVEL_SOURCE_DIR "/res/runtime");
    QuorvelRunner project;
    project.Load(shots.ExampleProject().toStdString());
    project.reportFile = project.currentReportFile = folder.File("report.txt");
    project.logFile = project.currentLogFile = folder.File("log.txt");
    project.summaryFile = project.currentSummaryFile = folder.File("summary.html");
    PageVReport report(project, 1, nullptr);
    Shoot(shots, report, QStringLiteral("viewer-project-report"));

    for (Quorvel& event : project.events) {
        for (uint32_t ms : { 12u, 30u, 18u })
            event.results.Add(ExecRecord { ms == 30u ? "FAILED" : "OK", ms, ms / 2, ms / 4, ms / 3, 3 });
    }
    project.WriteSummaryReport();
    PageVReport summary(project, 0, nullptr);
    Shoot(shots, summary, QStringLiteral("viewer-summary-report"));

    std::string text = "Date\tTime\tEvent\tTotal (ms)\tCheck time (ms)\tFetch Time (ms)\tAction Time (ms)\tFetched "
                       "Rows\tStatus\tAction SQL\r\n";
    for (int i = 0; i < 40; ++i)
        text += StrFormat("05-Dec-2026\t 9:%d:07.250\tQueue length\t%d\t9\t2\t1\t1\t%s\t%s\r\n", 10 + i, 12 + i % 7,
            i % 9 == 4 ? "FAILED" : "OK", i % 3 == 0 ? StrFormat("INSERT INTO alerts VALUES (%d)", i).c_str() : "");
    WriteFile(project.currentReportFile, "\xFF\xFE" + Utf8ToUtf16Le(text));
    PageExReport execution(project, nullptr);
    Shoot(shots, execution, QStringLiteral("viewer-execution-report"));

    text.clear();
    for (int i = 0; i < 300; ++i)
        text += StrFormat("20261205 0910%d queue holds %d entries\r\n", 10 + i % 50, 1000 + i * 7);
    WriteFile(project.currentLogFile, "\xFF\xFE" + Utf8ToUtf16Le(text));
    PgLogView custom(project, 1, nullptr);
    Shoot(shots, custom, QStringLiteral("viewer-custom-log"));

    CLog::SetPath(folder.File("quorvel.log"));
    CLog::Bug("connection refused (127.0.0.1:5432)", "Exec SQL", "Quorvel", 212);
    CLog::Bug("queue holds 1207 entries", "User mesage: ");
    PgLogView programLog(project, 0, nullptr);
    Shoot(shots, programLog, QStringLiteral("viewer-program-log"), 400);
    CLog::SetPath({});
}
