#include "model/EventFields.h"

#include "external/support/CSysReg.h"
#include "model/Quorvel.h"

namespace {

constexpr const char* kUnits = "0 seconds, 1 minutes, 2 hours";
constexpr const char* kOperators = "0 <, 1 <=, 2 =, 3 >=, 4 >, 5 !=";

EventField Number(const char* key, int Quorvel::*field, int readDefault = 0)
{
    return { key, field, nullptr, readDefault };
}

EventField Optional(const char* key, int Quorvel::*field)
{
    return { key, field, nullptr, 0, true };
}

EventField Enum(const char* key, int Quorvel::*field, int max, const char* what, const char* values)
{
    return { key, field, nullptr, 0, false, max, what, values };
}

EventField Text(const char* key, std::string Quorvel::*field)
{
    return { key, nullptr, field };
}

std::vector<EventField> MakeFields()
{
    using Q = Quorvel;
    return {
        Enum("action", &Q::action, 3, "action", "0 none, 1 SQL statement, 2 program, 3 log line"),
        Number("bNeedConnect", &Q::bNeedConnect),
        Enum("cond", &Q::cond, 5, "condition",
            "0 always, 1 on error, 2 on success, 3 row count, 4 result value, 5 check time"),
        Enum("delayTimeType", &Q::delayTimeType, 2, "time unit", kUnits),
        Enum("delayType", &Q::delayType, 2, "delay", "0 none, 1 iDelay units, 2 start at tmStartAt"),
        Number("iDelay", &Q::iDelay),
        Number("iExecs", &Q::iExecs),
        Number("iInterval", &Q::iInterval),
        Enum("intTimeType", &Q::intTimeType, 2, "time unit", kUnits),
        Enum("intType", &Q::intType, 1, "interval", "0 at once, 1 iInterval units"),
        Enum("iterType", &Q::iterType, 2, "iteration count", "0 without end, 1 once, 2 iExecs times"),
        Enum("type", &Q::type, 2, "check type", "0 SQL statement, 1 file or folder, 2 performance counter"),
        Enum("rowCheck", &Q::rowCheck, 5, "operator", kOperators),
        Number("rowCheckValue", &Q::rowCheckValue),
        Enum("resCheck", &Q::resCheck, 5, "operator", kOperators),
        Number("resCheckValue", &Q::resCheckValue),
        Number("bTermEvent", &Q::bTermEvent),
        Number("bTermProject", &Q::bTermProject),
        { "iActWhen", &Q::iActWhen, nullptr, 0, true, 1, "choice of when to act",
            "0 every time the condition holds, 1 when the condition starts to hold" },
        Optional("iRepeatEvery", &Q::iRepeatEvery),
        Optional("bActOnRecovery", &Q::bActOnRecovery),
        Optional("iTimeout", &Q::iTimeout),
        Text("ActionSQL", &Q::ActionSQL),
        Text("EventNote", &Q::EventNote),
        Text("sProgram", &Q::sProgram),
        Text("SQL", &Q::SQL),
        Text("PerfCounter", &Q::PerfCounter),
        Text("Machine", &Q::Machine),
        Text("FileOrDir", &Q::FileOrDir),
        Text("sLogItem", &Q::sLogItem),
        Text("tmStartAt", &Q::tmStartAt),
        Number("enabled", &Q::enabled, 1),
    };
}

} // namespace

const std::vector<EventField>& EventFields()
{
    static const std::vector<EventField> fields = MakeFields();
    return fields;
}

const EventField* FindEventField(const std::string& key)
{
    for (const EventField& field : EventFields()) {
        if (key == field.key)
            return &field;
    }
    return nullptr;
}

void LoadEventFields(Quorvel& event, CSysReg& store, const std::string& section)
{
    store.Section(section);
    for (const EventField& field : EventFields()) {
        if (field.number != nullptr)
            store.Read(field.key, &(event.*field.number), field.readDefault);
        else
            store.Read(field.key, &(event.*field.text), "");
    }
    event.checkConn.Load(&store, section + "_connect");
    event.actionConn.Load(&store, section + "_action");
}

void SaveEventFields(const Quorvel& event, CSysReg& store, const std::string& section)
{
    store.Section(section);
    for (const EventField& field : EventFields()) {
        if (field.text != nullptr)
            store.Save(field.key, event.*field.text);
        else if (!field.optional || event.*field.number != 0)
            store.Save(field.key, event.*field.number);
        else
            store.Remove(section, field.key);
    }
    event.checkConn.Save(&store, section + "_connect");
    event.actionConn.Save(&store, section + "_action");
}

void CopyEventFields(Quorvel& to, const Quorvel& from)
{
    for (const EventField& field : EventFields()) {
        if (field.number != nullptr)
            to.*field.number = from.*field.number;
        else
            to.*field.text = from.*field.text;
    }
    to.checkConn = from.checkConn;
    to.actionConn = from.actionConn;
}

bool SameEventFields(const Quorvel& a, const Quorvel& b)
{
    for (const EventField& field : EventFields()) {
        const bool same = field.number != nullptr ? a.*field.number == b.*field.number : a.*field.text == b.*field.text;
        if (!same)
            return false;
    }
    return a.checkConn == b.checkConn && a.checkConn.savePassword == b.checkConn.savePassword
        && a.actionConn == b.actionConn && a.actionConn.savePassword == b.actionConn.savePassword;
}
