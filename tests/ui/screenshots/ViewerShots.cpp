#include "screenshots/Shots.h"
#include "support/UiTestSupport.h"

#include "external/support/CLog.h"
#include "external/support/Utf16.h"
#include "model/QuorvelRunner.h"
#include "reports/HeadTemplate.h"
#include "ui/gui/HelpWindow.h"
#include "ui/main/PageExReport.h"
#include "ui/main/PageVReport.h"
#include "ui/main/PgLogView.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <fstream>

namespace {

void WriteUtf16(const QString& path, const std::string& text)
{
    std::ofstream(path.toStdString(), std::ios::binary) << "\xFF\xFE" << Utf8ToUtf16Le(text);
}

// The demo project as the pages see it after a run, with files of its own.
struct Demo {
    explicit Demo(ShotContext& shots)
    {
        SetHeadTemplateFolder(QUORVEL_SOURCE_DIR "/res/runtime");
        project.Load(shots.ExampleProject().toStdString());
        project.reportFile = project.currentReportFile = File("report.txt");
        project.logFile = project.currentLogFile = File("log.txt");
        project.summaryFile = project.currentSummaryFile = File("summary.html");
    }
    std::string File(const char* name) const { return folder.filePath(QString::fromLatin1(name)).toStdString(); }

    QTemporaryDir folder;
    QuorvelRunner project;
};

template <typename Page> void Shoot(ShotContext& shots, Page& page, const QString& name)
{
    page.resize(820, 600);
    page.Activate();
    if constexpr (requires { page.Reading(); })
        ServeUntil([&] { return !page.Reading(); });
    shots.Save(page, name);
}

} // namespace

QUORVEL_SHOT(ViewerProjectReport)
{
    Demo demo(shots);
    PageVReport page(demo.project, 1, nullptr);
    Shoot(shots, page, QStringLiteral("viewer-project-report"));
}

QUORVEL_SHOT(ViewerSummaryReport)
{
    Demo demo(shots);
    QuorvelRunner& project = demo.project;
    for (Quorvel& event : project.events) {
        for (uint32_t ms : { 12u, 30u, 18u })
            event.results.Add(ExecRecord { ms == 30u ? "FAILED" : "OK", ms, ms / 2, ms / 4, ms / 3, 3 });
    }
    project.WriteSummaryReport();
    PageVReport page(project, 0, nullptr);
    Shoot(shots, page, QStringLiteral("viewer-summary-report"));
}

QUORVEL_SHOT(ViewerExecutionReport)
{
    Demo demo(shots);
    QuorvelRunner& project = demo.project;
    std::string text = "Date\tTime\tEvent\tTotal (ms)\tCheck time (ms)\tFetch Time (ms)\tAction Time (ms)\tFetched "
                       "Rows\tStatus\tAction SQL\r\n";
    for (int i = 0; i < 40; ++i)
        text += "05-Dec-2026\t 9:" + std::to_string(10 + i) + ":07.250\tQueue length\t" + std::to_string(12 + i % 7)
            + "\t9\t2\t1\t1\t" + (i % 9 == 4 ? "FAILED" : "OK") + "\t"
            + (i % 3 == 0 ? "INSERT INTO alerts VALUES (" + std::to_string(i) + ")" : "") + "\r\n";
    WriteUtf16(QString::fromStdString(project.currentReportFile), text);
    PageExReport page(project, nullptr);
    Shoot(shots, page, QStringLiteral("viewer-execution-report"));
}

QUORVEL_SHOT(ViewerCustomLog)
{
    Demo demo(shots);
    QuorvelRunner& project = demo.project;
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "20261205 0910" + std::to_string(10 + i % 50) + " queue holds " + std::to_string(1000 + i * 7)
            + " entries\r\n";
    WriteUtf16(QString::fromStdString(project.currentLogFile), text);
    PgLogView page(project, 1, nullptr);
    Shoot(shots, page, QStringLiteral("viewer-custom-log"));
}

QUORVEL_SHOT(ViewerProgramLog)
{
    Demo demo(shots);
    CLog::SetPath(demo.File("quorvel.log"));
    CLog::Bug("connection refused (127.0.0.1:5432)", "Exec SQL", "Quorvel", 212);
    CLog::Bug("queue holds 1207 entries", "User mesage: ");
    PgLogView page(demo.project, 0, nullptr);
    page.resize(820, 400);
    page.Activate();
    shots.Save(page, QStringLiteral("viewer-program-log"));
    CLog::SetPath({});
}

QUORVEL_SHOT(ViewerHelp)
{
    HelpWindow::SetPageFolder(QStringLiteral(QUORVEL_SOURCE_DIR "/res/help"));
    for (const char* page : { "index", "tips", "settings" }) {
        HelpWindow window;
        window.resize(760, 620);
        window.ShowPage(QString::fromLatin1(page) + QStringLiteral(".html"));
        shots.Save(window, QStringLiteral("help-") + QString::fromLatin1(page));
    }
    HelpWindow::SetPageFolder({});
}
