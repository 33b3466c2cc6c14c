#include "model/Quorvel.h"

#include "external/support/StrFormat.h"
#include "model/EventFields.h"

namespace {

const char* const kOperators[] = {"<", "<=", "=", ">=", ">", "!="};

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
    CopyEventFields(*this, o);
    lastTab = o.lastTab;
}

void Quorvel::Save(CSysReg& store, const std::string& section) const
{
    SaveEventFields(*this, store, section);
}

void Quorvel::Load(CSysReg& store, const std::string& section)
{
    LoadEventFields(*this, store, section);
}

const std::string* Quorvel::StoredText(const std::string& key) const
{
    const EventField* field = FindEventField(key);
    return field != nullptr && field->text != nullptr ? &(this->*field->text) : nullptr;
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
