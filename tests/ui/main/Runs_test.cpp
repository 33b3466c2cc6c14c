#include "main/MainWindowFixture.h"

#include "external/support/MessageBox.h"
#include "support/TestEvents.h"
#include "ui/gui/RowsModel.h"
#include "ui/main/CEventModes.h"
#include "ui/main/CommandIds.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageConsole.h"
#include "ui/main/PageVReport.h"
#include "ui/main/PageProject.h"
#include "ui/main/RunStatusBar.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QToolBar>
#include <QTreeWidget>
#include <utility>

namespace {

// The rows of `log` (the execution log or the active list) as "note: status".
QStringList Rows(RowsModel& log)
{
    QStringList rows;
    for (int row = 0; row < log.rowCount(); ++row)
        rows << log.Cell(row, 1) + QStringLiteral(": ") + log.Cell(row, 2);
    return rows;
}

// Whether the tool bar buttons of Run and Break are enabled.
std::pair<bool, bool> RunAndBreak(CEventDlg& w)
{
    return { w.ToolBar().widgetForAction(w.Action(ID_RUN_PROJECT))->isEnabled(),
        w.ToolBar().widgetForAction(w.Action(ID_BREAK))->isEnabled() };
}

// A real run from the window, broken by closing it: both lists, the report and the summary.
TEST_F(MainWindowTest, ARunShowsLiveAndABreakEndsIt)
{
    CEventDlg& w = Open(WriteProject());
    w.Dispatch(ID_RUN_PROJECT);
    EXPECT_EQ(w.CurrentPage(), CEventModes::kConsole);
    ASSERT_TRUE(w.Running());
    EXPECT_EQ(RunAndBreak(w), std::make_pair(false, true));
    RowsModel& active = w.Console().Active();
    ASSERT_TRUE(ServeUntil(
        [&] { return active.rowCount() == 2 && Rows(active).contains(QStringLiteral("count: Completed")); }));

    w.Dispatch(ID_NEW_PROJECT); // refused while the run lasts
    EXPECT_TRUE(dialogs.messages.last().contains(QStringLiteral("running")));
    EXPECT_EQ(g_runner.Count(), 2);

    // Closing during a run asks, breaks, and closes only once the run has ended, without blocking
    // the window thread meanwhile; an unchanged project is not asked about.
    dialogs.Answer(IDYES);
    w.close();
    EXPECT_TRUE(w.isVisible());
    ASSERT_TRUE(ServeUntil([&] { return !w.isVisible(); }));
    EXPECT_FALSE(w.Running());
    EXPECT_TRUE(dialogs.messages.last().contains(QStringLiteral("Break the run")));
    EXPECT_EQ(RunAndBreak(w), std::make_pair(true, false));
    RowsModel& log = w.Console().ExecLog();
    for (const char* row : { "count: Started", "count: Completed", "database file: Started" })
        EXPECT_TRUE(Rows(log).contains(QString::fromLatin1(row))) << row;
    EXPECT_FALSE(log.Cell(0, 3).isEmpty()); // the time of day
    EXPECT_NE(ReadFile(g_runner.currentReportFile).size(), 0u);
    EXPECT_NE(ReadFile(g_runner.currentSummaryFile).find("database file"), std::string::npos);

    opened.clear();
    for (QPushButton* button : w.Console().findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("Summary"))
            button->click();
    EXPECT_EQ(opened, QStringList { QString::fromStdString(g_runner.currentSummaryFile) });

    // A break given at once, before the run's thread gets going, still ends the run.
    w.Dispatch(ID_RUN_PROJECT);
    w.Dispatch(ID_BREAK);
    ASSERT_TRUE(ServeUntil([&] { return !w.Running(); }));
}

// The summary page shown during a run shows the run's summary once the run ends. (What a console
// button says of a file that no program can open is DesktopOpen's, tested with it.)
TEST_F(MainWindowTest, TheSummaryPageFollowsTheEndOfARun)
{
    CEventDlg& w = Open(WriteProject());
    w.Dispatch(ID_RUN_PROJECT);
    w.SwitchPage(CEventModes::kSummary); // none yet
    EXPECT_EQ(dialogs.messages, QStringList { QStringLiteral("Warning!: Summary report is not created yet.") });
    w.Dispatch(ID_BREAK);
    ASSERT_TRUE(ServeUntil([&] { return !w.Running(); }));
    auto& page = static_cast<PageVReport&>(w.Page(CEventModes::kSummary));
    EXPECT_EQ(page.Browser().source(), QUrl::fromLocalFile(QString::fromStdString(g_runner.currentSummaryFile)));
    EXPECT_EQ(dialogs.messages.size(), 1);
}

// A check that fails and a report in a folder that does not exist: both show where the user looks,
// with the reasons that standard error and the program log give, and the status bar leads there.
TEST_F(MainWindowTest, FailuresShowOnTheirRowsWithTheirReasonsAndTheStatusBarLeadsToTheLog)
{
    const std::string db = MakeSqliteFile(dir.File("data.db"), "CREATE TABLE t (n INTEGER); INSERT INTO t VALUES (7);");
    const std::string report = dir.File("no/such/folder/report.txt");
    QuorvelRunner project;
    project.reportFile = report;
    project.AddEvent(SqlEvent("e0", db, "SELECT count(*) FROM missing"));
    project.AddEvent(SqlEvent("e1", db, "SELECT n FROM t"));
    ASSERT_EQ(project.Save(dir.File("f.qvl")), 0);
    CEventDlg& w = Open(QString::fromStdString(dir.File("f.qvl")));
    w.Dispatch(ID_RUN_PROJECT);
    ASSERT_TRUE(ServeUntil([&] { return !w.Running(); }));

    const QString checkFailed = QStringLiteral("check failed: no such table: missing");
    const QString reportFailed
        = QStringLiteral("execution report failed: %1: No such file or directory").arg(QString::fromStdString(report));
    RowsModel& active = w.Console().Active();
    QTreeWidget& rows = w.Project().List();
    ASSERT_EQ(active.rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        // The active list shows the rows in the order the events started.
        const int event = active.Cell(row, 1) == QStringLiteral("e0") ? 0 : 1;
        const QModelIndex outcome = active.index(row, PageConsole::kOutcomeColumn);
        const QString reason = event == 0 ? checkFailed : reportFailed;
        EXPECT_EQ(outcome.data().toString(), QStringLiteral("Failed")) << event;
        EXPECT_TRUE(outcome.data(Qt::ToolTipRole).toString().contains(reason)) << event;
        EXPECT_EQ(active.index(row, 0).data(Qt::AccessibleDescriptionRole).toString(), reason);
        EXPECT_EQ(active.Cell(row, PageConsole::kValueColumn), event == 0 ? QString() : QStringLiteral("7"));
        const QTreeWidgetItem* item = rows.topLevelItem(event);
        EXPECT_EQ(
            std::make_tuple(item->text(5), item->toolTip(0), item->data(5, Qt::AccessibleDescriptionRole).toString()),
            std::make_tuple(QStringLiteral("Failed"), reason, reason));
    }

    auto* status = w.findChild<RunStatusBar*>();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->Text().startsWith(QStringLiteral("Run ended after 0:00:"))) << status->Text().toStdString();
    EXPECT_TRUE(status->Text().endsWith(QStringLiteral("checks passed: 1, failed: 1"))) << status->Text().toStdString();
    ASSERT_TRUE(status->LogButton().isVisibleTo(&w));
    status->LogButton().click();
    EXPECT_EQ(w.CurrentPage(), CEventModes::kProgramLog);
}

// The program as a user starts it: `quorvel -r -q project.qvl` opens the window, runs the project
// once and ends.
TEST_F(MainWindowTest, TheProgramRunsAProjectInItsWindowAndEnds)
{
    const QString project = WriteProject("p.qvl", true);
    const ProcessResult result = RunQuorvel({ "-r", "-q", project.toStdString() }, { "QT_QPA_PLATFORM=offscreen" });
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(ReadFile(dir.File("summary.html")).find("database file"), std::string::npos);
}

} // namespace
