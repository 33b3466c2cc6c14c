#include "main/MainWindowFixture.h"

#include "external/support/MessageBox.h"
#include "ui/gui/RowsModel.h"
#include "ui/main/CEventModes.h"
#include "ui/main/CommandIds.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageConsole.h"
#include "ui/main/PageVReport.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QToolBar>
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

// The summary page shown during a run shows the run's summary once the run ends; a console button
// whose file no program can open says so.
TEST_F(MainWindowTest, TheSummaryPageFollowsTheEndOfARunAndButtonsTellWhatTheyCannotOpen)
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

    viewerFound = false;
    w.SwitchPage(CEventModes::kConsole);
    for (QPushButton* button : w.Console().findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("Summary"))
            button->click();
    EXPECT_EQ(dialogs.messages.last().toStdString(),
        "Warning!: " + g_runner.currentSummaryFile + " cannot be opened: no program is set up to open files of its kind.");
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
