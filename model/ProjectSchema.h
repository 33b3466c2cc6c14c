#pragma once

#include <string>
#include <vector>

// What a project file may hold: its sections, and in each its keys with their type, read default
// and, for an enumeration, its values. The project check (ProjectCheck) knows a file by this table
// alone. A key that the loader reads (QuorvelRunner::Load, Quorvel::Load, CONN_INFO::Load) gets a
// row here with the same type and default: fuzz_check holds the two to the same reading.
class ProjectSchema {
public:
    // [Common]; [Item<n>]; [Item<n>_connect] and [Item<n>_action].
    enum class Section { Common, Item, Connection };
    enum class Type { Int, Text };

    struct Key {
        Section section;
        const char* name;
        Type type;
        int readDefault = 0;         // an integer's default when the value is missing or unreadable
        int max = -1;                // an enumeration's values are 0 to max; -1: any integer
        const char* what = nullptr;  // an enumeration's name in messages ("condition")
        const char* values = nullptr; // its values as messages list them
    };

    // Every key, in the order the loader reads them.
    static const std::vector<Key>& Keys();
    // The key of that name (exact, as the loader looks it up) in a section of that kind, or null.
    static const Key* Find(Section section, const std::string& name);
    // The kind of a section name and its event number (-1 for Common); false for any other name.
    static bool SectionOf(const std::string& name, Section* kind, int* index);

    // The known name nearest to a misspelt one: the same but for case, or one or two edits away
    // (one for a short name). Empty when none is that close.
    static std::string NearestKey(Section section, const std::string& name);
    static std::string NearestSection(const std::string& name);
};
