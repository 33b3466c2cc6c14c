#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"
#include "ui/editor/EvCounter.h"
#include "ui/editor/EvFile.h"
#include "ui/editor/EvSQL.h"
#include "ui/editor/EventProps.h"
#include "ui/editor/PgAction.h"
#include "ui/editor/PgCondition.h"
#include "ui/editor/PgConnect.h"
#include "ui/editor/PgEvent.h"
#include "ui/editor/PgTimer.h"
#include "ui/gui/CAdvConnect.h"
#include "ui/gui/CHistCBox.h"
#include "ui/gui/SqlEditor.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace {

template <class Page> Page& PageOf(EventProps& editor, EventProps::Tab tab)
{
    return static_cast<Page&>(editor.Page(tab));
}
const auto EventPage = [](EventProps& e) -> PgEvent& { return PageOf<PgEvent>(e, EventProps::kEvent); };
const auto Condition = [](EventProps& e) -> PgCondition& { return PageOf<PgCondition>(e, EventProps::kCondition); };
const auto Action = [](EventProps& e) -> PgAction& { return PageOf<PgAction>(e, EventProps::kAction); };

// The event as the project file keeps it, so that two events compare field by field.
std::string Stored(const Quorvel& e)
{
    TempDir dir;
    QuorvelRunner project;
    project.AddEvent(e);
    EXPECT_EQ(project.Save(dir.File("p.qvl")), 0);
    return ReadFile(dir.File("p.qvl"));
}

Quorvel FullEvent()
{
    Quorvel e;
    e.bNeedConnect = 0, e.type = EVENT_COUNTER, e.cond = COND_RESULT_VALUE, e.action = ACTION_PROGRAM;
    e.delayType = DELAY_START_AT, e.delayTimeType = UNIT_HOURS, e.iterType = ITER_COUNT, e.intType = INTERVAL_WAIT;
    e.intTimeType = UNIT_MINUTES, e.rowCheck = OP_GREATER, e.rowCheckValue = 12, e.resCheck = OP_NOT_EQUAL;
    e.resCheckValue = -7, e.EventNote = "nightly", e.SQL = "SELECT count(*) FROM orders", e.FileOrDir = "/var/in";
    e.ActionSQL = "UPDATE t SET seen = $VALUE$", e.sProgram = "/usr/bin/logger hi", e.sLogItem = "value $VALUE$";
    e.PerfCounter = "\\Typed\\By Hand", e.Machine = "\\\\web01", e.tmStartAt = "08:30:00", e.bTermEvent = 1;
    e.bTermProject = 1, e.iDelay = 5, e.iInterval = 6, e.iExecs = 7, e.checkConn.type = DS_POSTGRES;
    e.checkConn.target = "dbname=sales", e.checkConn.user = "ann", e.actionConn.target = "/tmp/a.db";
    e.iActWhen = ACT_ON_START, e.iRepeatEvery = 5, e.bActOnRecovery = 1, e.iTimeout = 90;
    return e;
}

int Saved(Quorvel& event, const std::function<void(EventProps&)>& edit = {})
{
    EventProps editor(nullptr, event);
    if (edit)
        edit(editor);
    editor.Save();
    return editor.result();
}

// Save without visiting a page gives back the record, except what a page cannot show.
TEST(EventProps, SaveWithoutChangesKeepsTheRecordBarWhatNoControlShows)
{
    struct Case {
        const char* name;
        std::function<void(Quorvel&)> stored;
        std::function<void(Quorvel&)> shownOtherwise; // what Save gives back differently
    };
    const Case cases[] = {
        { "new record", [](Quorvel&) {}, [](Quorvel&) {} },
        { "every field set", [](Quorvel& e) { e = FullEvent(); }, [](Quorvel&) {} },
        { "interval type outside the choices", [](Quorvel& e) { e.intType = 5; }, [](Quorvel& e) { e.intType = 1; } },
        { "negative amounts", [](Quorvel& e) { e.iDelay = -1, e.iExecs = -5; },
            [](Quorvel& e) { e.iDelay = e.iExecs = 2147483647; } },
        { "timeout outside the box's range", [](Quorvel& e) { e.iTimeout = -4; }, [](Quorvel& e) { e.iTimeout = 0; } },
        { "unit outside the list", [](Quorvel& e) { e.delayTimeType = 7; }, [](Quorvel& e) { e.delayTimeType = -1; } },
        { "operator outside the list of the chosen condition",
            [](Quorvel& e) { e.cond = COND_ROW_COUNT, e.rowCheck = 9, e.resCheck = 9; },
            [](Quorvel& e) { e.rowCheck = -1; } },
        { "choices outside their sets survive",
            [](Quorvel& e) { e.type = 7, e.cond = 9, e.action = 8, e.delayType = 4, e.iterType = 6, e.iActWhen = 3; },
            [](Quorvel&) {} },
        { "flags other than 0 and 1", [](Quorvel& e) { e.bNeedConnect = -3, e.bTermEvent = 5; },
            [](Quorvel& e) { e.bNeedConnect = 0, e.bTermEvent = 1; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Quorvel event;
        c.stored(event);
        Quorvel expected = event;
        c.shownOtherwise(expected);
        EXPECT_EQ(Saved(event), 1);
        EXPECT_EQ(Stored(event), Stored(expected));
    }
}

// The editor opens on the tab of the last Save, and the set-up dialog on the event's connection; a
// change shows at once, and Cancel drops every change.
TEST(EventProps, OpensWhereItWasLeftAndCancelChangesNothing)
{
    Quorvel event = FullEvent();
    event.bNeedConnect = 1;
    Saved(event, [](EventProps& editor) { editor.Tabs().setCurrentIndex(EventProps::kTimers); });
    const auto before = Stored(event);
    EventProps editor(nullptr, event);
    EXPECT_TRUE(editor.Page(EventProps::kTimers).isVisibleTo(&editor));
    PgConnect& page = PageOf<PgConnect>(editor, EventProps::kConnection);
    QString shownTarget;
    QTimer::singleShot(0, &page, [&] {
        CAdvConnect& setup = page.Setup();
        shownTarget = setup.Target().currentText();
        setup.Kind().setCurrentIndex(DS_SQLITE);
        setup.Target().setEditText(QStringLiteral("/srv/new.db"));
        setup.accept();
    });
    page.SetupConnection();
    EXPECT_EQ(shownTarget, QStringLiteral("dbname=sales"));
    EXPECT_EQ(page.Description().text(), QStringLiteral("SQLite: /srv/new.db, user ann"));
    editor.Tabs().setCurrentIndex(EventProps::kAction);
    Action(editor).LogText().setText(QStringLiteral("changed"));
    Action(editor).Store();
    editor.reject();
    EXPECT_EQ(event.lastTab, EventProps::kTimers);
    EXPECT_EQ(Stored(event), before);
}

// Every page stores what it shows by its rules: the file sub-page shows the stored path again when
// it is come back to, amount boxes follow the box number rules, a start time a run refuses is
// stored with a hint, of the conditions only the chosen row is stored while the rows not chosen
// keep their fields, and each action choice enables only its own controls.
TEST(EventProps, EveryPageStoresItsFieldsByItsRules)
{
    Quorvel event;
    event.rowCheck = OP_GREATER, event.rowCheckValue = 100;
    event.cond = COND_RESULT_VALUE, event.resCheck = OP_EQUAL, event.resCheckValue = -7;
    const Quorvel before = event;
    ScriptedDialogs dialogs;
    const int result = Saved(event, [](EventProps& editor) {
        PgEvent& page = EventPage(editor);
        static_cast<EvSQL&>(page.SubPage(EVENT_SQL)).Editor().setText(QStringLiteral("SELECT 1"));
        page.Type().setCurrentIndex(EVENT_FILE);
        auto& file = static_cast<EvFile&>(page.SubPage(EVENT_FILE));
        file.Path().setText(QStringLiteral("/typed/then/left"));
        page.Type().setCurrentIndex(EVENT_COUNTER);
        page.Type().setCurrentIndex(EVENT_FILE);
        EXPECT_EQ(file.Path().text(), QString()); // the stored path again, not the one typed and left
        file.Path().setText(QStringLiteral("/data/flag"));
        page.Type().setCurrentIndex(EVENT_COUNTER);
        auto& counter = static_cast<EvCounter&>(page.SubPage(EVENT_COUNTER));
        counter.Counter().setEditText(QStringLiteral("\\Not\\Listed"));
        counter.Machine().setText(QStringLiteral("web01:9100"));
        page.Note().setText(QStringLiteral("note"));

        auto& timers = PageOf<PgTimer>(editor, EventProps::kTimers);
        timers.Executions().clear();
        timers.DelayAmount().setText(QStringLiteral("12345678901"));
        timers.DelayChoice().button(DELAY_START_AT)->setChecked(true);
        timers.StartAt().setText(QStringLiteral("0830"));
        EXPECT_FALSE(timers.StartAtHint().isHidden());
        timers.StartAt().setText(QStringLiteral("08:30:00"));
        EXPECT_TRUE(timers.StartAtHint().isHidden());
        timers.StartAt().setText(QStringLiteral("8:30"));

        PgCondition& conditions = Condition(editor);
        EXPECT_EQ(conditions.Value(PgCondition::kFirstValue).text(), QStringLiteral("-7"));
        EXPECT_EQ(conditions.Value(PgCondition::kRowCount).text(), QString());
        conditions.Choice().button(COND_CHECK_TIME)->setChecked(true);
        EXPECT_FALSE(conditions.Value(PgCondition::kFirstValue).isEnabled());
        conditions.Operator(PgCondition::kCheckTime).setCurrentIndex(OP_LESS);
        conditions.Value(PgCondition::kCheckTime).setText(QStringLiteral("500"));
        EXPECT_FALSE(conditions.ActOnRecovery().isEnabled());
        conditions.ActWhen().setCurrentIndex(ACT_ON_START);
        EXPECT_TRUE(conditions.RepeatEvery().isEnabled());
        conditions.RepeatEvery().setText(QStringLiteral("12"));
        conditions.ActOnRecovery().setChecked(true);

        PgAction& action = Action(editor);
        for (int choice : { ACTION_SQL, ACTION_PROGRAM, ACTION_LOG, ACTION_NONE }) {
            action.Choice().button(choice)->setChecked(true);
            EXPECT_EQ(std::make_tuple(
                          action.TestButton().isEnabled(), action.Program().isEnabled(), action.LogText().isEnabled()),
                std::make_tuple(choice == ACTION_SQL, choice == ACTION_PROGRAM, choice == ACTION_LOG))
                << choice;
        }
        action.Editor().setText(QStringLiteral("DELETE FROM t"));
        action.Program().setText(QStringLiteral("/bin/true"));
        action.LogText().setText(QStringLiteral("line"));
        action.TermProject().setChecked(true);
    });
    EXPECT_EQ(result, 1);
    // Rows not chosen keep their fields, and the texts of actions not chosen are stored too.
    Quorvel expected = before;
    expected.type = EVENT_COUNTER, expected.SQL = "SELECT 1", expected.FileOrDir = "/data/flag";
    expected.PerfCounter = "\\Not\\Listed", expected.Machine = "web01:9100", expected.EventNote = "note";
    expected.iExecs = 0, expected.iDelay = 2147483647, expected.delayType = DELAY_START_AT, expected.tmStartAt = "8:30";
    expected.cond = COND_CHECK_TIME, expected.resCheck = OP_LESS, expected.resCheckValue = 500;
    expected.iActWhen = ACT_ON_START, expected.iRepeatEvery = 12, expected.bActOnRecovery = 1;
    expected.ActionSQL = "DELETE FROM t", expected.sProgram = "/bin/true", expected.sLogItem = "line";
    expected.action = ACTION_NONE, expected.bTermProject = 1;
    EXPECT_EQ(Stored(event), Stored(expected));

    Saved(event, [](EventProps& editor) { Condition(editor).Choice().button(COND_ROW_COUNT)->setChecked(true); });
    EXPECT_EQ(std::tie(event.rowCheck, event.rowCheckValue), std::make_tuple(-1, 0)); // no operator, empty box
    EventProps again(nullptr, event); // a counter typed by hand joins the list
    auto& counter = static_cast<EvCounter&>(EventPage(again).SubPage(EVENT_COUNTER));
    EXPECT_GE(counter.Counter().findText(QStringLiteral("\\Not\\Listed")), 0);
}

// The Save button tells what the project check would of the event, without a file's place, and
// saves only on "Save anyway"; a sound event saves without a question.
TEST(EventProps, SaveWarnsOfWhatTheEventWouldRunLike)
{
    ScriptedDialogs dialogs;
    Quorvel event; // as Add Event makes it: no statement, no interval
    const std::string before = Stored(event);
    EventProps editor(nullptr, event, 3);
    editor.SaveAfterCheck(); // unanswered: "Go back"
    EXPECT_EQ(std::make_tuple(editor.result(), Stored(event)), std::make_tuple(0, before));
    EXPECT_EQ(dialogs.messages,
        QStringList { QStringLiteral("Warning!: Saved as it is, this event will not run as meant:\n\n"
                                     "[Item3] is an SQL check without a statement: SQL is empty\n"
                                     "warning: [Item3] runs without end and without an interval: it checks back to "
                                     "back, thousands of times a second (set intType = 1 and an iInterval)\n\n"
                                     "quorvel --check reports the same once the project is saved.") });
    dialogs.Answer(IDYES);
    editor.SaveAfterCheck(); // the same question, now answered "Save anyway"
    EXPECT_EQ(std::make_tuple(editor.result(), dialogs.messages.size()), std::make_tuple(1, qsizetype(2)));

    Quorvel sound = FullEvent();
    sound.PerfCounter = "\\Processor(_Total)\\% Processor Time", sound.Machine.clear();
    EventProps second(nullptr, sound);
    EXPECT_EQ(second.RunProblems(), QString());
    second.SaveAfterCheck();
    EXPECT_EQ(std::make_tuple(second.result(), dialogs.messages.size()), std::make_tuple(1, qsizetype(2)));
}

} // namespace
