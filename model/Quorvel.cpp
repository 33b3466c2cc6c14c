#include "model/Quorvel.h"

#include "external/support/CSysReg.h"
#include "external/support/StrFormat.h"

namespace {

const char* const kOperators[] = {"<", "<=", "=", ">=", ">", "!="};

// Event keys and where they live, in the order they are written.
struct IntKey {
    const char* key;
    int Quorvel::*field;
};
struct TextKey {
    const char* key;
    std::string Quorvel::*field;
};

const TextKey kTextKeys[] = {
    {"ActionSQL", &Quorvel::ActionSQL}, {"EventNote", &Quorvel::EventNote},
    {"sProgram", &Quorvel::sProgram},   {"SQL", &Quorvel::SQL},
    {"PerfCounter", &Quorvel::PerfCounter}, {"Machine", &Quorvel::Machine},
    {"FileOrDir", &Quorvel::FileOrDir}, {"sLogItem", &Quorvel::sLogItem},
    {"tmStartAt", &Quorvel::tmStartAt},
};

// A key that older files lack: written only when it is not 0, so that such a file is saved as it
// was, and taken out of a file rewritten in place when it is 0 again.
void SaveOptional(CSysReg& store, const std::string& section, const char* key, int value)
{
    if (value == 0)
        store.Remove(section, key);
    else
        store.Save(key, value);
}

} // namespace

Quorvel::Quorvel() = default;

Quorvel::Quorvel(const Quorvel& other)
{
    *this = other;
}

Quorvel& Quorvel::operator=(const Quorvel& other)
{
    if (this != &other) {
        CopyDefinition(other);
        db.reset();
    }
    return *this;
}

Quorvel::~Quorvel() = default;

void Quorvel::CopyDefinition(const Quorvel& o)
{
    bNeedConnect = o.bNeedConnect;
    type = o.type;
    cond = o.cond;
    action = o.action;
    delayType = o.delayType;
    delayTimeType = o.delayTimeType;
    iterType = o.iterType;
    intType = o.intType;
    intTimeType = o.intTimeType;
    rowCheck = o.rowCheck;
    resCheck = o.resCheck;
    EventNote = o.EventNote;
    SQL = o.SQL;
    FileOrDir = o.FileOrDir;
    ActionSQL = o.ActionSQL;
    sProgram = o.sProgram;
    sLogItem = o.sLogItem;
    PerfCounter = o.PerfCounter;
    Machine = o.Machine;
    tmStartAt = o.tmStartAt;
    enabled = o.enabled;
    bTermEvent = o.bTermEvent;
    bTermProject = o.bTermProject;
    lastTab = o.lastTab;
    iDelay = o.iDelay;
    iInterval = o.iInterval;
    iExecs = o.iExecs;
    rowCheckValue = o.rowCheckValue;
    resCheckValue = o.resCheckValue;
    checkConn = o.checkConn;
    actionConn = o.actionConn;
    iActWhen = o.iActWhen;
    iRepeatEvery = o.iRepeatEvery;
    bActOnRecovery = o.bActOnRecovery;
    iTimeout = o.iTimeout;
}

void Quorvel::Save(CSysReg& store, const std::string& section) const
{
    store.Section(section);
    store.Save("action", action);
    store.Save("ActionSQL", ActionSQL);
    store.Save("bNeedConnect", bNeedConnect);
    store.Save("cond", cond);
    store.Save("delayTimeType", delayTimeType);
    store.Save("delayType", delayType);
    store.Save("iDelay", iDelay);
    store.Save("iExecs", iExecs);
    store.Save("iInterval", iInterval);
    store.Save("intTimeType", intTimeType);
    store.Save("intType", intType);
    store.Save("iterType", iterType);
    store.Save("EventNote", EventNote);
    store.Save("sProgram", sProgram);
    store.Save("SQL", SQL);
    store.Save("PerfCounter", PerfCounter);
    store.Save("Machine", Machine);
    store.Save("FileOrDir", FileOrDir);
    store.Save("sLogItem", sLogItem);
    store.Save("type", type);
    store.Save("tmStartAt", tmStartAt);
    store.Save("rowCheck", rowCheck);
    store.Save("rowCheckValue", rowCheckValue);
    store.Save("resCheck", resCheck);
    store.Save("resCheckValue", resCheckValue);
    store.Save("enabled", enabled);
    store.Save("bTermEvent", bTermEvent);
    store.Save("bTermProject", bTermProject);
    SaveOptional(store, section, "iActWhen", iActWhen);
    SaveOptional(store, section, "iRepeatEvery", iRepeatEvery);
    SaveOptional(store, section, "bActOnRecovery", bActOnRecovery);
    SaveOptional(store, section, "iTimeout", iTimeout);
    checkConn.Save(&store, section + "_connect");
    actionConn.Save(&store, section + "_action");
}

void Quorvel::Load(CSysReg& store, const std::string& section)
{
    // Read defaults are 0 and empty, except "enabled", which reads 1 when missing.
    static const IntKey intKeys[] = {
        {"action", &Quorvel::action},         {"bNeedConnect", &Quorvel::bNeedConnect},
        {"cond", &Quorvel::cond},             {"delayTimeType", &Quorvel::delayTimeType},
        {"delayType", &Quorvel::delayType},   {"iDelay", &Quorvel::iDelay},
        {"iExecs", &Quorvel::iExecs},         {"iInterval", &Quorvel::iInterval},
        {"intTimeType", &Quorvel::intTimeType}, {"intType", &Quorvel::intType},
        {"iterType", &Quorvel::iterType},     {"type", &Quorvel::type},
        {"rowCheck", &Quorvel::rowCheck},     {"rowCheckValue", &Quorvel::rowCheckValue},
        {"resCheck", &Quorvel::resCheck},     {"resCheckValue", &Quorvel::resCheckValue},
        {"bTermEvent", &Quorvel::bTermEvent}, {"bTermProject", &Quorvel::bTermProject},
        {"iActWhen", &Quorvel::iActWhen},     {"iRepeatEvery", &Quorvel::iRepeatEvery},
        {"bActOnRecovery", &Quorvel::bActOnRecovery}, {"iTimeout", &Quorvel::iTimeout},
    };
    store.Section(section);
    for (const IntKey& k : intKeys)
        store.Read(k.key, &(this->*k.field), 0);
    for (const TextKey& k : kTextKeys)
        store.Read(k.key, &(this->*k.field), "");
    store.Read("enabled", &enabled, 1);
    checkConn.Load(&store, section + "_connect");
    actionConn.Load(&store, section + "_action");
}

const std::string* Quorvel::StoredText(const std::string& key) const
{
    for (const TextKey& k : kTextKeys) {
        if (key == k.key)
            return &(this->*k.field);
    }
    return nullptr;
}

bool Quorvel::Compare(int op, int measured, int configured)
{
    switch (op) {
    case OP_LESS:
        return measured < configured;
    case OP_LESS_EQUAL:
        return measured <= configured;
    case OP_EQUAL:
        return measured == configured;
    case OP_GREATER_EQUAL:
        return measured >= configured;
    case OP_GREATER:
        return measured > configured;
    case OP_NOT_EQUAL:
        return measured != configured;
    default:
        return false;
    }
}

std::string Quorvel::CompareText(int op, int value)
{
    const char* text = op >= 0 && op < static_cast<int>(std::size(kOperators)) ? kOperators[op] : "";
    return StrFormat("%s %d", text, value);
}

int64_t Quorvel::ToMilliseconds(int value, int unit)
{
    static const int64_t factor[] = {1000, 60000, 3600000};
    if (unit < 0 || unit > UNIT_HOURS)
        return 0;
    // Every stored 32-bit value in hours fits in 64 bits of milliseconds (2^31 h is 7.7e15 ms).
    return static_cast<int64_t>(value) * factor[unit];
}

std::string Quorvel::TimeUnitName(int unit)
{
    switch (unit) {
    case UNIT_MINUTES:
        return "minutes";
    case UNIT_HOURS:
        return "hours";
    default:
        return "seconds";
    }
}

std::string Quorvel::ActWhenName(int actWhen)
{
    return actWhen == ACT_ON_START ? "when the condition starts to hold" : "every time the condition holds";
}

namespace {

// An event that acts on changes says so after its condition; one that acts every time reads as
// it always did.
std::string ActWhenText(const Quorvel& e)
{
    if (e.iActWhen != ACT_ON_START)
        return "";
    std::string text = " (when it starts to hold";
    if (e.iRepeatEvery > 0)
        text += StrFormat(", repeat every %d", e.iRepeatEvery);
    if (e.bActOnRecovery != 0)
        text += ", on recovery";
    return text + ")";
}

} // namespace

std::string Quorvel::Description(int part) const
{
    static const char* const types[] = {"Exec SQL", "File or Folder Access", "Performance Counter"};
    static const char* const actions[] = {"No action", "Exec SQL", "Exec program", "Write log"};
    const std::string typeText = type >= 0 && type <= EVENT_COUNTER ? types[type] : "";
    const std::string actionText = action >= 0 && action <= ACTION_LOG ? actions[action] : "";
    std::string condText;
    switch (cond) {
    case COND_ALWAYS:
        condText = "Always";
        break;
    case COND_ON_ERROR:
        condText = "On error";
        break;
    case COND_ON_SUCCESS:
        condText = "On success";
        break;
    case COND_ROW_COUNT:
        condText = "If result set size " + CompareText(rowCheck, rowCheckValue);
        break;
    case COND_RESULT_VALUE:
        condText = "If result value " + CompareText(resCheck, resCheckValue);
        break;
    case COND_CHECK_TIME:
        condText = "If check time " + CompareText(resCheck, resCheckValue) + " ms";
        break;
    default:
        break;
    }
    condText += ActWhenText(*this);
    switch (part) {
    case 0:
        return typeText;
    case 1:
        return condText;
    case 2:
        return actionText;
    default:
        return StrFormat("%s->%s->%s", typeText.c_str(), condText.c_str(), actionText.c_str());
    }
}
