#include "main/MainWindowFixture.h"

#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "external/support/MessageBox.h"
#include "ui/gui/PrivateTempDir.h"
#include "ui/main/CEventModes.h"
#include "ui/main/CommandIds.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageProject.h"
#include "ui/main/PageProps.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QTreeWidget>
#include <sys/stat.h>

namespace {

const QString kAskSave = QStringLiteral("Warning!: Project is not saved. Save it?");

// Loads the project and changes it (the first event disabled), so that it is not saved.
void LoadAndChange(CEventDlg& window)
{
    window.Project().SelectRow(0);
    window.Dispatch(ID_TOGGLE_ENABLED);
    ASSERT_FALSE(window.Saved());
}

TEST_F(MainWindowTest, StartsWithTheNamedProjectOrTheLastFileOrNothing)
{
    const QString project = WriteProject();
    struct Case {
        QString named;
        int loadLast;
        QString lastFile;
        QString expectedPath;
    } cases[] = {
        { project, 0, {}, project }, // named on the command line
        { QString::fromStdString(dir.File("missing.qvl")), 1, project,
            project }, // a missing name falls back to LastFile
        { {}, 0, project, {} }, // LoadLastFile off: untitled
        { {}, 1, {}, {} }, // first start: untitled
    };
    for (const Case& c : cases) {
        g_settings->setInt("LoadLastFile", c.loadLast);
        g_settings->setStr("LastFile", c.lastFile.toStdString());
        CEventDlg& w = Open(c.named);
        EXPECT_EQ(w.ProjectPath(), c.expectedPath) << c.named.toStdString();
        EXPECT_EQ(w.Project().RowCount(), c.expectedPath.isEmpty() ? 0 : 2);
        const QString name = c.expectedPath.isEmpty() ? QStringLiteral("untitled") : c.expectedPath;
        EXPECT_EQ(w.windowTitle(), QStringLiteral(" Olvex Quorvel [%1]").arg(name));
        g_runner.Clear();
    }
}

TEST_F(MainWindowTest, EventCommandsKeepRowsAndProjectInStep)
{
    CEventDlg& w = Open(WriteProject());
    PageProject& page = w.Project();
    page.SelectRow(0);
    w.Dispatch(ID_COPY_EVENT); // a copy of row 0 goes to the end
    ASSERT_EQ(page.RowCount(), 3);
    EXPECT_EQ(page.List().topLevelItem(2)->text(3), QStringLiteral("count"));
    EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral(" *]")));

    page.SetChecked(1, true); // checked rows win over the selection
    page.SetChecked(2, true);
    w.Dispatch(ID_TOGGLE_ENABLED);
    EXPECT_EQ(page.List().topLevelItem(0)->text(4), QStringLiteral("Yes"));
    EXPECT_EQ(page.List().topLevelItem(1)->text(4), QStringLiteral("No"));
    EXPECT_EQ(g_runner.events[2].enabled, 0);

    dialogs.Answer(IDYES);
    w.Dispatch(ID_DELETE_EVENT);
    EXPECT_EQ(
        dialogs.messages.last(), QStringLiteral("Warning!: You have 2 checked events.\nDo you wish to remove them?"));
    ASSERT_EQ(g_runner.Count(), 1);
    EXPECT_EQ(page.RowCount(), 1);
    EXPECT_EQ(g_runner.events[0].EventNote, "count");

    page.SelectRow(-1);
    dialogs.messages.clear();
    w.Dispatch(ID_DELETE_EVENT); // nothing checked, nothing selected
    EXPECT_EQ(dialogs.messages, QStringList { QStringLiteral("Warning!: No event was selected.") });
    EXPECT_EQ(g_runner.Count(), 1);
}

// A save that could not write keeps the old name and the unsaved state, and says so; a save under
// a new name heads the recent list.
TEST_F(MainWindowTest, SaveAsKeepsTheProjectUnsavedUntilAFileIsWritten)
{
    const QString project = WriteProject();
    CEventDlg& w = Open(project);
    LoadAndChange(w);
    w.Dispatch(ID_SAVE_AS); // cancelled
    dialogs.ChooseFile(QString::fromStdString(dir.File("no-such-folder/p.qvl")));
    w.Dispatch(ID_SAVE_AS);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.last().startsWith(QStringLiteral("Error!: The project could not be saved")));
    EXPECT_FALSE(w.Saved());
    EXPECT_EQ(w.ProjectPath(), project);
    EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral(" *]")));
    const QString copy = QString::fromStdString(dir.File("copy"));
    dialogs.ChooseFile(copy);
    w.Dispatch(ID_SAVE_AS);
    EXPECT_TRUE(w.Saved());
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" Olvex Quorvel [%1.qvl]").arg(copy));
    EXPECT_EQ(g_settings->getStr("Profile0"), (copy + QStringLiteral(".qvl")).toStdString());
    EXPECT_EQ(dialogs.filters.last(), QStringLiteral("Quorvel Projects (*.qvl);;All Files (*)"));
}

// "Yes, save it" followed by a cancelled file chooser must not lose the project.
TEST_F(MainWindowTest, ACancelledSaveAfterYesKeepsTheProject)
{
    const QString project = WriteProject();
    CEventDlg& w = Open(project);
    LoadAndChange(w);
    QFile::remove(project); // Save now needs a new name
    dialogs.Answer(IDYES);
    w.Dispatch(ID_NEW_PROJECT);
    EXPECT_EQ(dialogs.messages, QStringList { kAskSave });
    EXPECT_EQ(g_runner.Count(), 2);
    EXPECT_EQ(w.Project().RowCount(), 2);
    EXPECT_FALSE(w.Saved());
}

// Opening a recent project asks about unsaved changes, as Load does.
TEST_F(MainWindowTest, ARecentProjectAsksBeforeDroppingChanges)
{
    const QString other = WriteProject("other.qvl");
    const QString project = WriteProject();
    CEventDlg& w = Open(project);
    g_settings->setStr("Profile1", other.toStdString());
    LoadAndChange(w);
    w.Dispatch(ID_RECENT_FIRST + 1); // unanswered: Cancel
    EXPECT_EQ(dialogs.messages, QStringList { kAskSave });
    EXPECT_EQ(w.ProjectPath(), project);
    dialogs.Answer(IDNO);
    w.Dispatch(ID_RECENT_FIRST + 1);
    EXPECT_EQ(w.ProjectPath(), other);
    EXPECT_TRUE(w.Saved());
}

// The project report goes to a folder of this process that nobody else can read or write.
TEST_F(MainWindowTest, TheProjectReportIsWrittenToAPrivateFolder)
{
    CEventDlg& w = Open(WriteProject());
    w.Dispatch(ID_PROJECT_REPORT);
    ASSERT_EQ(opened.size(), 1);
    const QFileInfo report(opened[0]);
    EXPECT_EQ(report.absolutePath(), PrivateTempDir());
    EXPECT_GT(report.size(), 0);
    struct stat info { };
    ASSERT_EQ(::stat(PrivateTempDir().toLocal8Bit().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(MainWindowTest, EveryToolBarButtonAndListHasAnAccessibleName)
{
    CEventDlg& w = Open();
    for (QWidget* child : w.findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(child) == nullptr && qobject_cast<QAbstractItemView*>(child) == nullptr)
            continue;
        if (!child->isVisibleTo(&w) || child->parent()->inherits("QAbstractItemView"))
            continue;
        const QString text = child->property("text").toString();
        EXPECT_FALSE(child->accessibleName().isEmpty() && text.isEmpty()) << child->metaObject()->className();
    }
}

// The properties and settings pages store their fields when they are left, without marking the
// project as changed.
TEST_F(MainWindowTest, PagesStoreTheirFieldsWhenLeft)
{
    g_settings->setStr("MacroDateFmt", "YYDDD"); // not among the entries: added and shown
    CEventDlg& w = Open(WriteProject());
    w.SwitchPage(CEventModes::kProperties);
    auto fields = w.Props().findChildren<QLineEdit*>();
    ASSERT_GE(fields.size(), 6);
    fields[0]->setText(QStringLiteral("report_$DATE$.txt"));
    w.SwitchPage(CEventModes::kSettings);
    EXPECT_EQ(g_runner.reportFile, "report_$DATE$.txt");
    EXPECT_TRUE(w.Saved());
    auto* date = w.Page(CEventModes::kSettings).findChildren<QComboBox*>().value(0);
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->currentText(), QStringLiteral("YYDDD"));
    date->setCurrentIndex(0);
    EXPECT_EQ(g_settings->getStr("MacroDateFmt"), "YYDDD");
    w.SwitchPage(CEventModes::kProject);
    EXPECT_EQ(g_settings->getStr("MacroDateFmt"), "");
}

TEST_F(MainWindowTest, TheProgramLogIsViewedAndTruncatedOnlyAfterAYes)
{
    CLog::Bug("an entry for the test", "test");
    CEventDlg& w = Open();
    w.Dispatch(ID_LOG_VIEW);
    EXPECT_EQ(opened, QStringList { QString::fromStdString(CLog::Path()) });
    w.Dispatch(ID_LOG_TRUNCATE); // unanswered: not a Yes
    EXPECT_GT(QFileInfo(QString::fromStdString(CLog::Path())).size(), 0);
    dialogs.Answer(IDYES);
    w.Dispatch(ID_LOG_TRUNCATE);
    EXPECT_EQ(QFileInfo(QString::fromStdString(CLog::Path())).size(), 0);
}

} // namespace
