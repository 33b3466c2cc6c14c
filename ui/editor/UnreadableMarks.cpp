#include "ui/editor/UnreadableMarks.h"

#include "model/EventTypes.h"
#include "ui/editor/EvCounter.h"
#include "ui/editor/EvFile.h"
#include "ui/editor/EvSQL.h"
#include "ui/editor/EventProps.h"
#include "ui/editor/PgAction.h"
#include "ui/editor/PgCondition.h"
#include "ui/editor/PgConnect.h"
#include "ui/editor/PgEvent.h"
#include "ui/editor/PgTimer.h"

#include <QSpinBox>
#include "ui/gui/CHistCBox.h"
#include "ui/gui/SqlEditor.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <initializer_list>
#include <utility>

namespace {

using Controls = std::pair<EventProps::Tab, std::vector<QWidget*>>;

template <typename Page> Page& PageOf(EventProps& editor, EventProps::Tab tab)
{
    return static_cast<Page&>(editor.Page(tab));
}

// A choice of radio buttons shows its value by the button that is checked.
QWidget* Checked(QButtonGroup& group)
{
    return group.checkedButton() != nullptr ? group.checkedButton() : group.buttons().value(0);
}

// The control of `key` among a page's named controls; none when the page has no control of that name.
Controls Named(EventProps::Tab page, std::initializer_list<std::pair<const char*, QWidget*>> controls, const std::string& key)
{
    for (const auto& [name, widget] : controls) {
        if (key == name)
            return { page, { widget } };
    }
    return { page, {} };
}

Controls TimerControls(EventProps& editor, const std::string& key)
{
    PgTimer& page = PageOf<PgTimer>(editor, EventProps::kTimers);
    return Named(EventProps::kTimers,
        {
            { "delayType", Checked(page.DelayChoice()) },
            { "iDelay", &page.DelayAmount() },
            { "delayTimeType", &page.DelayUnit() },
            { "tmStartAt", &page.StartAt() },
            { "iterType", Checked(page.IterationChoice()) },
            { "iExecs", &page.Executions() },
            { "intType", Checked(page.IntervalChoice()) },
            { "iInterval", &page.IntervalAmount() },
            { "intTimeType", &page.IntervalUnit() },
            { "iTimeout", &page.Timeout() },
        },
        key);
}

Controls EventControls(EventProps& editor, const std::string& key)
{
    PgEvent& page = PageOf<PgEvent>(editor, EventProps::kEvent);
    QWidget* widget = nullptr;
    if (key == "type")
        widget = &page.Type();
    else if (key == "EventNote")
        widget = &page.Note();
    else if (key == "SQL")
        widget = &static_cast<EvSQL&>(page.SubPage(EVENT_SQL)).Editor();
    else if (key == "FileOrDir")
        widget = &static_cast<EvFile&>(page.SubPage(EVENT_FILE)).Path();
    else if (key == "PerfCounter")
        widget = &static_cast<EvCounter&>(page.SubPage(EVENT_COUNTER)).Counter();
    else if (key == "Machine")
        widget = &static_cast<EvCounter&>(page.SubPage(EVENT_COUNTER)).Machine();
    return { EventProps::kEvent, widget != nullptr ? std::vector<QWidget*> { widget } : std::vector<QWidget*> {} };
}

Controls ConditionControls(EventProps& editor, const std::string& key)
{
    PgCondition& page = PageOf<PgCondition>(editor, EventProps::kCondition);
    using Row = PgCondition::Row;
    if (key == "cond")
        return { EventProps::kCondition, { Checked(page.Choice()) } };
    if (key == "rowCheck")
        return { EventProps::kCondition, { &page.Operator(Row::kRowCount) } };
    if (key == "rowCheckValue")
        return { EventProps::kCondition, { &page.Value(Row::kRowCount) } };
    // The first-value and check-time rows show the same two fields.
    if (key == "resCheck")
        return { EventProps::kCondition, { &page.Operator(Row::kFirstValue), &page.Operator(Row::kCheckTime) } };
    if (key == "resCheckValue")
        return { EventProps::kCondition, { &page.Value(Row::kFirstValue), &page.Value(Row::kCheckTime) } };
    return Named(EventProps::kCondition,
        {
            { "iActWhen", &page.ActWhen() },
            { "iRepeatEvery", &page.RepeatEvery() },
            { "bActOnRecovery", &page.ActOnRecovery() },
        },
        key);
}

Controls ActionControls(EventProps& editor, const std::string& key)
{
    PgAction& page = PageOf<PgAction>(editor, EventProps::kAction);
    Controls named = Named(EventProps::kAction,
        {
            { "action", Checked(page.Choice()) },
            { "ActionSQL", &page.Editor() },
            { "sProgram", &page.Program() },
            { "sLogItem", &page.LogText() },
            { "bTermEvent", &page.TermEvent() },
            { "bTermProject", &page.TermProject() },
        },
        key);
    if (!named.second.empty())
        return named;
    if (key.rfind("_action.", 0) == 0)
        return { EventProps::kAction, { &page.ConnectionText() } };
    return { EventProps::kAction, {} };
}

Controls ControlsFor(EventProps& editor, const std::string& key)
{
    PgConnect& connect = PageOf<PgConnect>(editor, EventProps::kConnection);
    if (key == "bNeedConnect")
        return { EventProps::kConnection, { &connect.UsesConnection() } };
    if (key.rfind("_connect.", 0) == 0)
        return { EventProps::kConnection, { &connect.Description() } };
    for (auto* find : { &EventControls, &TimerControls, &ConditionControls, &ActionControls }) {
        Controls found = find(editor, key);
        if (!found.second.empty())
            return found;
    }
    return { EventProps::kConnection, {} };
}

} // namespace

QString UnreadableMarks::Note()
{
    return QCoreApplication::translate("EventProps",
        "The project file holds a value here that could not be read; this shows the default instead.");
}

void UnreadableMarks::Apply(EventProps& editor, const std::vector<std::string>& keys)
{
    const QColor red(0xb0, 0x00, 0x20);
    for (const std::string& key : keys) {
        const auto [tab, widgets] = ControlsFor(editor, key);
        for (QWidget* widget : widgets) {
            widget->setProperty("unreadable", true);
            widget->setToolTip(Note());
            widget->setAccessibleDescription(Note());
            widget->setStyleSheet(QStringLiteral("border: 2px solid %1;").arg(red.name()));
        }
        if (!widgets.empty()) {
            editor.Tabs().setTabTextColor(tab, red);
            editor.Tabs().setTabToolTip(tab, Note());
        }
    }
}
