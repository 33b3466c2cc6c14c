#include "model/ProjectSchema.h"

#include "model/EventFields.h"

#include <algorithm>
#include <cctype>

namespace {

using Section = ProjectSchema::Section;
using Type = ProjectSchema::Type;
using Key = ProjectSchema::Key;

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
    const Section conn = Section::Connection;
    std::vector<Key> keys {
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
    };
    for (const EventField& field : EventFields())
        keys.push_back({ Section::Item, field.key, field.text != nullptr ? Type::Text : Type::Int, field.readDefault,
            field.max, field.what, field.values });
    keys.insert(keys.end(), {
        Enum(conn, "type", 2, "connection kind", "0 SQLite, 1 PostgreSQL, 2 ODBC"),
        Text(conn, "target"),
        Text(conn, "user"),
        Text(conn, "password"),
    });
    return keys;
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
