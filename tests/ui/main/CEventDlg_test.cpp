#include "main/MainWindowFixture.h"

#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "external/support/MessageBox.h"
#include "model/QuorvelRunner.h"
#include "ui/editor/EvFile.h"
#include "ui/editor/EventProps.h"
#include "ui/editor/PgEvent.h"
#include "ui/editor/PgTimer.h"
#include "ui/editor/UnreadableMarks.h"
#include "ui/gui/PrivateTempDir.h"
#include "ui/main/CEventModes.h"
#include "ui/main/CommandIds.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageProject.h"
#include "ui/main/PageProps.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <sys/stat.h>
#include <tuple>

namespace {

const QString kAskSave = QStringLiteral("Warning!: Project is not saved. Save it?");

TEST_F(MainWindowTest, StartsWithTheNamedProjectOrTheLastFileOrNothingAndQuitsWhenAsked)
{
    const QString project = WriteProject();
    const QString missing = QString::fromStdString(dir.File("missing.qvl")), none;
    // Named on the command line; a missing name falls back to LastFile; LoadLastFile off or a first
    // start: untitled.
    for (const auto& [named, loadLast, lastFile, expected] :
        { std::tuple(project, 0, none, project), std::tuple(missing, 1, project, project),
            std::tuple(none, 0, project, none), std::tuple(none, 1, none, none) }) {
        g_settings->setInt("LoadLastFile", loadLast);
        g_settings->setStr("LastFile", lastFile.toStdString());
        CEventDlg& w = Open(named);
        EXPECT_EQ(w.ProjectPath(), expected) << named.toStdString();
        EXPECT_EQ(w.Project().RowCount(), expected.isEmpty() ? 0 : 2);
        EXPECT_EQ(w.windowTitle(),
            QStringLiteral(" Olvex Quorvel [%1]").arg(expected.isEmpty() ? QStringLiteral("untitled") : expected));
        g_runner.Clear();
    }
    CEventDlg& w = Open({}, true, true); // the quit flag closes after an empty project too
    ASSERT_TRUE(ServeUntil([&] { return !w.isVisible(); }));
    EXPECT_EQ(dialogs.messages, QStringList { QStringLiteral("Warning!: Events list is empty.") });
}

// A project with problems still loads, and the window lists them once, after it shows. The editor
// marks the control whose stored value could not be read, until it saves that event.
TEST_F(MainWindowTest, ProblemsOfTheFileAreShownOnceAndUnreadableValuesMarked)
{
    const std::string path = dir.File("p.qvl");
    WriteFile(path, "[Common]\nItems = 1\n[Item0]\ntype = 1\nFileOrDir = \"/\"\niInterval = \"5\"\niExec = 3\n");
    Open(QString::fromStdString(path));
    ASSERT_TRUE(ServeUntil([&] { return !dialogs.messages.isEmpty(); }));
    QApplication::processEvents();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("Warning!: The project file has problems")));
    EXPECT_TRUE(dialogs.messages[0].contains(
        QString::fromStdString(path + ":6: [Item0] iInterval is a string (\"5\"), not an integer: it reads as 0")));
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral(":7: warning: [Item0] unknown key \"iExec\"")));
    ASSERT_EQ(g_runner.Count(), 1);
    Quorvel& event = g_runner.events[0];
    EXPECT_EQ(event.unreadableKeys, std::vector<std::string> { "iInterval" });
    EventProps editor(window.get(), event);
    auto& timers = static_cast<PgTimer&>(editor.Page(EventProps::kTimers));
    EXPECT_TRUE(timers.IntervalAmount().property("unreadable").toBool());
    EXPECT_EQ(timers.IntervalAmount().accessibleDescription(), UnreadableMarks::Note());
    EXPECT_EQ(editor.Tabs().tabToolTip(EventProps::kTimers), UnreadableMarks::Note());
    EXPECT_FALSE(timers.Executions().property("unreadable").toBool());
    editor.Save();
    EXPECT_TRUE(event.unreadableKeys.empty());
}

// Event commands keep rows and project in step: an event made in the editor joins the project, a
// copy goes to the end. A save that could not write keeps the old name and the unsaved state, and
// says so; a save under a new name holds the events and heads the recent list.
TEST_F(MainWindowTest, EventCommandsAndSaveAsKeepRowsProjectAndFileInStep)
{
    const QString project = WriteProject();
    CEventDlg& w = Open(project);
    PageProject& page = w.Project();
    const std::string watched = dir.File("watched");
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<EventProps*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        auto& page = static_cast<PgEvent&>(editor->Page(EventProps::kEvent));
        page.Type().setCurrentIndex(EVENT_FILE);
        static_cast<EvFile&>(page.SubPage(EVENT_FILE)).Path().setText(QString::fromStdString(watched));
        editor->Save();
    });
    w.Dispatch(ID_ADD_EVENT);
    ASSERT_EQ(std::make_tuple(g_runner.Count(), page.RowCount(), w.Saved()), std::make_tuple(3, 3, false));
    page.SelectRow(0);
    w.Dispatch(ID_COPY_EVENT);
    ASSERT_EQ(page.RowCount(), 4);
    EXPECT_EQ(page.List().topLevelItem(3)->text(3), QStringLiteral("count"));
    w.Dispatch(ID_SAVE_AS); // cancelled
    dialogs.ChooseFile(QString::fromStdString(dir.File("no-such-folder/p.qvl")));
    w.Dispatch(ID_SAVE_AS);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.last().startsWith(QStringLiteral("Error!: The project could not be saved")));
    EXPECT_EQ(std::make_tuple(w.Saved(), w.ProjectPath(), w.windowTitle().contains(QStringLiteral(" *]"))),
        std::make_tuple(false, project, true));
    const QString copy = QString::fromStdString(dir.File("copy"));
    dialogs.ChooseFile(copy);
    w.Dispatch(ID_SAVE_AS);
    EXPECT_TRUE(w.Saved());
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" Olvex Quorvel [%1.qvl]").arg(copy));
    EXPECT_EQ(g_settings->getStr("Profile0"), (copy + QStringLiteral(".qvl")).toStdString());
    EXPECT_EQ(dialogs.filters.last(), QStringLiteral("Quorvel Projects (*.qvl);;All Files (*)"));
    QuorvelRunner saved;
    saved.Load(copy.toStdString() + ".qvl");
    ASSERT_EQ(saved.Count(), 4);
    EXPECT_EQ(std::tie(saved.events[2].type, saved.events[2].FileOrDir, saved.events[3].EventNote),
        std::make_tuple(int(EVENT_FILE), watched, std::string("count")));

    page.SetChecked(1, true); // checked rows win over the selection
    page.SetChecked(2, true);
    w.Dispatch(ID_TOGGLE_ENABLED);
    EXPECT_EQ(std::make_tuple(page.List().topLevelItem(0)->text(4), page.List().topLevelItem(1)->text(4),
                  g_runner.events[2].enabled),
        std::make_tuple(QStringLiteral("Yes"), QStringLiteral("No"), 0));
    dialogs.Answer(IDYES);
    w.Dispatch(ID_DELETE_EVENT);
    EXPECT_EQ(
        dialogs.messages.last(), QStringLiteral("Warning!: You have 2 checked events.\nDo you wish to remove them?"));
    EXPECT_EQ(std::make_tuple(g_runner.Count(), page.RowCount(), g_runner.events.at(1).EventNote),
        std::make_tuple(2, 2, std::string("count")));
    page.SelectRow(-1);
    w.Dispatch(ID_DELETE_EVENT); // nothing checked, nothing selected
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("Warning!: No event was selected."));
    EXPECT_EQ(g_runner.Count(), 2);
}

// Opening a recent project asks about unsaved changes, as Load does, and "Yes, save it" followed
// by a cancelled file chooser must not lose the project.
TEST_F(MainWindowTest, UnsavedChangesAreAskedAboutAndKeptUnlessDropped)
{
    const QString other = WriteProject("other.qvl");
    const QString project = WriteProject();
    CEventDlg& w = Open(project);
    g_settings->setStr("Profile1", other.toStdString());
    w.Project().SelectRow(0);
    w.Dispatch(ID_TOGGLE_ENABLED); // the first event disabled: not saved
    QFile::remove(project); // Save now needs a new name
    w.Dispatch(ID_RECENT_FIRST + 1); // unanswered: Cancel
    dialogs.Answer(IDYES);
    w.Dispatch(ID_NEW_PROJECT);
    EXPECT_EQ(dialogs.messages, (QStringList { kAskSave, kAskSave }));
    EXPECT_EQ(std::make_tuple(w.ProjectPath(), g_runner.Count(), w.Project().RowCount(), w.Saved()),
        std::make_tuple(project, 2, 2, false));
    dialogs.Answer(IDNO);
    w.Dispatch(ID_RECENT_FIRST + 1);
    EXPECT_EQ(std::make_tuple(w.ProjectPath(), w.Saved()), std::make_tuple(other, true));
}

// Whatever was typed on the properties page is asked about before it could be lost (closing,
// New, Load), whether or not the page was left since, without marking the title; Save keeps it.
// Every field of the page, whichever it is.
TEST_F(MainWindowTest, TypedPropertiesAreAskedAboutUntilSaved)
{
    const QString project = WriteProject();
    Open(project);
    const int count = static_cast<int>(window->Props().findChildren<QLineEdit*>().size());
    EXPECT_EQ(count, 6);
    for (int i = 0; i < count; ++i) {
        QLineEdit* field = window->Props().findChildren<QLineEdit*>().value(i);
        SCOPED_TRACE(field->accessibleName().toStdString());
        window->SwitchPage(CEventModes::kProperties);
        const QString typed = QStringLiteral("typed%1").arg(i);
        field->setText(field->text() + typed);
        if (i % 2 != 0)
            window->SwitchPage(CEventModes::kProject); // the field reaches the project
        const int command = i % 3 == 0 ? ID_EXIT : i % 3 == 1 ? ID_NEW_PROJECT : ID_LOAD_PROJECT;
        dialogs.messages.clear();
        window->Dispatch(command); // unanswered: Cancel
        EXPECT_EQ(dialogs.messages, QStringList { kAskSave });
        EXPECT_EQ(std::make_tuple(window->isVisible(), window->Saved(), window->windowTitle().contains(QLatin1Char('*'))),
            std::make_tuple(true, true, false));
        window->Dispatch(ID_SAVE_PROJECT);
        EXPECT_NE(ReadFile(project.toStdString()).find(typed.toStdString()), std::string::npos);
        window->Dispatch(command); // nothing to ask now (Load's file chooser is unanswered)
        EXPECT_EQ(dialogs.messages, QStringList { kAskSave });
        if (command == ID_EXIT) {
            EXPECT_FALSE(window->isVisible());
            Open(project);
        } else if (command == ID_NEW_PROJECT) {
            window->Dispatch(ID_RECENT_FIRST); // the project again
        }
    }
}

// The event list takes Return to open the selected event and Delete to delete it; File, Exit
// has its mnemonic and Ctrl+Q.
TEST_F(MainWindowTest, KeysOpenAndDeleteTheSelectedEvent)
{
    CEventDlg& w = Open(WriteProject());
    EXPECT_EQ(std::make_tuple(w.Action(ID_EXIT)->text(), w.Action(ID_EXIT)->shortcut()),
        std::make_tuple(QStringLiteral("E&xit"), QKeySequence(QStringLiteral("Ctrl+Q"))));
    w.Project().SelectRow(1);
    const auto press = [&](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&w.Project().List(), &event);
    };
    QString opened;
    press(Qt::Key_Return);
    QTimer::singleShot(0, [&] { // after the page's queued command has opened the editor
        auto* editor = qobject_cast<EventProps*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        opened = static_cast<PgEvent&>(editor->Page(EventProps::kEvent)).Note().text();
        editor->reject();
    });
    QApplication::processEvents();
    EXPECT_EQ(opened, QStringLiteral("database file"));
    dialogs.Answer(IDYES);
    press(Qt::Key_Delete);
    QApplication::processEvents();
    EXPECT_EQ(dialogs.messages, QStringList { QStringLiteral("Warning!: Delete selected event?") });
    EXPECT_EQ(std::make_tuple(g_runner.Count(), w.Project().RowCount()), std::make_tuple(1, 1));
}

// The properties and settings pages store their fields when they are left, without marking the
// project as changed; a date format not among the entries is added and shown. Every button and list
// of every page has an accessible name.
TEST_F(MainWindowTest, PagesStoreTheirFieldsWhenLeftAndEveryControlHasAName)
{
    g_settings->setStr("MacroDateFmt", "YYDDD");
    CEventDlg& w = Open(WriteProject());
    for (int page = CEventModes::kPageCount - 1; page >= 0; --page) {
        w.SwitchPage(page);
        for (QWidget* c : w.findChildren<QWidget*>()) {
            const bool control = (c->inherits("QAbstractButton") || c->inherits("QAbstractItemView"))
                && c->isVisibleTo(&w) && !c->parent()->inherits("QAbstractItemView");
            EXPECT_FALSE(control && c->accessibleName().isEmpty() && c->property("text").toString().isEmpty())
                << page << ' ' << c->metaObject()->className();
        }
    }
    w.SwitchPage(CEventModes::kProperties);
    w.Props().findChildren<QLineEdit*>().value(0)->setText(QStringLiteral("report_$DATE$.txt"));
    w.Props().findChildren<QCheckBox*>().value(0)->setChecked(true);
    w.SwitchPage(CEventModes::kSettings);
    auto* date = w.Page(CEventModes::kSettings).findChildren<QComboBox*>().value(0);
    EXPECT_EQ(date->currentText(), QStringLiteral("YYDDD"));
    date->setCurrentIndex(0);
    EXPECT_EQ(g_settings->getStr("MacroDateFmt"), "YYDDD"); // not yet: the page is still shown
    w.SwitchPage(CEventModes::kProject);
    EXPECT_EQ(std::make_tuple(g_runner.reportFile, g_runner.shareConnections, g_settings->getStr("MacroDateFmt")),
        std::make_tuple(std::string("report_$DATE$.txt"), 1, std::string()));
    EXPECT_TRUE(w.Saved());
}

// The project report goes to a folder of this process that nobody else can read or write; the
// program log is truncated only after a Yes.
TEST_F(MainWindowTest, TheViewerGetsAPrivateProjectReportAndTheProgramLog)
{
    CLog::Bug("an entry for the test", "test");
    const QString log = QString::fromStdString(CLog::Path());
    CEventDlg& w = Open(WriteProject());
    w.Dispatch(ID_PROJECT_REPORT);
    w.Dispatch(ID_LOG_VIEW);
    w.Dispatch(ID_LOG_TRUNCATE); // unanswered: not a Yes
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(std::make_tuple(QFileInfo(opened[0]).absolutePath(), opened[1]), std::make_tuple(PrivateTempDir(), log));
    EXPECT_GT(QFileInfo(opened[0]).size(), 0);
    EXPECT_GT(QFileInfo(log).size(), 0);
    struct stat info { };
    ASSERT_EQ(::stat(PrivateTempDir().toLocal8Bit().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    dialogs.Answer(IDYES);
    w.Dispatch(ID_LOG_TRUNCATE);
    EXPECT_EQ(QFileInfo(log).size(), 0);
}

} // namespace
