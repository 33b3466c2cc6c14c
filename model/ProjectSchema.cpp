#include "model/ProjectSchema.h"

#include <algorithm>
#include <cctype>

namespace {

using Section = ProjectSchema::Section;
using Type = ProjectSchema::Type;
using Key = ProjectSchema::Key;

constexpr const char* kUnits = "0 seconds, 1 minutes, 2 hours";
constexpr const char* kOperators = "0 <, 1 <=, 2 =, 3 >=, 4 >, 5 !=";

Key Text(Section section, const char* name)
{
    return { section, name, Type::Text };
}

Key Int(Section section, const char* name, int readDefault = 0)
{
    return { section, name, Type::Int, readDefault };
}

Key Enum(Section section, const char* name, int max, const char* what, const char* values)
{
    return { section, name, Type::Int, 0, max, what, values };
}

std::vector<Key> MakeKeys()
{
    const Section common = Section::Common;
    const Section item = Section::Item;
    const Section conn = Section::Connection;
    return {
        Text(common, "Report"),
        Text(common, "Log"),
        Text(common, "Summary"),
        Text(common, "Author"),
        Text(common, "Description"),
        Text(common, "Metrics"),
        Text(common, "MetricsProject"),
        Text(common, "TextEncoding"),
        Text(common, "ConsoleLines"),
        Text(common, "Listen"),
        Text(common, "ListenAuth"),
        Int(common, "Items"),
        Int(common, "CheckTimeout"),
        Enum(common, "ShareConnections", 1, "choice", "0 each event its own connection, 1 shared"),
        Enum(item, "action", 3, "action", "0 none, 1 SQL statement, 2 program, 3 log line"),
        Int(item, "bNeedConnect"),
        Enum(item, "cond", 5, "condition",
            "0 always, 1 on error, 2 on success, 3 row count, 4 result value, 5 check time"),
        Enum(item, "delayTimeType", 2, "time unit", kUnits),
        Enum(item, "delayType", 2, "delay", "0 none, 1 iDelay units, 2 start at tmStartAt"),
        Int(item, "iDelay"),
        Int(item, "iExecs"),
        Int(item, "iInterval"),
        Enum(item, "intTimeType", 2, "time unit", kUnits),
        Enum(item, "intType", 1, "interval", "0 at once, 1 iInterval units"),
        Enum(item, "iterType", 2, "iteration count", "0 without end, 1 once, 2 iExecs times"),
        Enum(item, "type", 2, "check type", "0 SQL statement, 1 file or folder, 2 performance counter"),
        Enum(item, "rowCheck", 5, "operator", kOperators),
        Int(item, "rowCheckValue"),
        Enum(item, "resCheck", 5, "operator", kOperators),
        Int(item, "resCheckValue"),
        Int(item, "bTermEvent"),
        Int(item, "bTermProject"),
        Enum(item, "iActWhen", 1, "choice of when to act",
            "0 every time the condition holds, 1 when the condition starts to hold"),
        Int(item, "iRepeatEvery"),
        Int(item, "bActOnRecovery"),
        Int(item, "iTimeout"),
        Text(item, "ActionSQL"),
        Text(item, "EventNote"),
        Text(item, "sProgram"),
        Text(item, "SQL"),
        Text(item, "PerfCounter"),
        Text(item, "Machine"),
        Text(item, "FileOrDir"),
        Text(item, "sLogItem"),
        Text(item, "tmStartAt"),
        Int(item, "enabled", 1),
        Enum(conn, "type", 2, "connection kind", "0 SQLite, 1 PostgreSQL, 2 ODBC"),
        Text(conn, "target"),
        Text(conn, "user"),
        Text(conn, "password"),
    };
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Edits (insert, delete, replace) from one name to the other, ignoring case.
size_t Distance(const std::string& from, const std::string& to)
{
    const std::string a = Lower(from);
    const std::string b = Lower(to);
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({ row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1) });
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string Nearest(const std::string& name, const std::vector<std::string>& candidates)
{
    // Long names need no comparing: no known name is near them.
    if (name.size() > 40)
        return {};
    const size_t allowed = name.size() <= 4 ? 1 : 2;
    std::string best;
    size_t bestDistance = allowed + 1;
    for (const std::string& candidate : candidates) {
        const size_t d = Distance(name, candidate);
        if (d < bestDistance && candidate != name) {
            best = candidate;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace

const std::vector<Key>& ProjectSchema::Keys()
{
    static const std::vector<Key> keys = MakeKeys();
    return keys;
}

const Key* ProjectSchema::Find(Section section, const std::string& name)
{
    for (const Key& key : Keys()) {
        if (key.section == section && name == key.name)
            return &key;
    }
    return nullptr;
}

bool ProjectSchema::SectionOf(const std::string& name, Section* kind, int* index)
{
    if (name == "Common") {
        *kind = Section::Common;
        *index = -1;
        return true;
    }
    // "Item" and a number as the loader writes it: no sign, no leading zero, within an int.
    const size_t digitsEnd = name.find_first_not_of("0123456789", 4);
    const size_t digits = (digitsEnd == std::string::npos ? name.size() : digitsEnd) - 4;
    if (name.rfind("Item", 0) != 0 || digits == 0 || digits > 9 || (name[4] == '0' && digits > 1))
        return false;
    const std::string suffix = name.substr(4 + digits);
    if (suffix.empty())
        *kind = Section::Item;
    else if (suffix == "_connect" || suffix == "_action")
        *kind = Section::Connection;
    else
        return false;
    *index = std::stoi(name.substr(4, digits));
    return true;
}

std::string ProjectSchema::NearestKey(Section section, const std::string& name)
{
    std::vector<std::string> names;
    for (const Key& key : Keys()) {
        if (key.section == section)
            names.emplace_back(key.name);
    }
    return Nearest(name, names);
}

std::string ProjectSchema::NearestSection(const std::string& name)
{
    // The event number as written, so that "item3" and "Item3_conect" find their own event's name.
    const size_t first = name.find_first_of("0123456789");
    const size_t last = name.find_last_of("0123456789");
    std::string number = first == std::string::npos ? "0" : name.substr(first, last - first + 1);
    number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1)); // "Item01" is Item1
    const std::string item = "Item" + number;
    return Nearest(name, { "Common", item, item + "_connect", item + "_action" });
}
