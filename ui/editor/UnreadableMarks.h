#pragma once

#include <QString>
#include <string>
#include <vector>

class EventProps;

// Marks the editor's controls that show a value the project file held in a form that could not
// be read (a text where a number belongs, ...): they show the default instead. Each such control
// and its tab get a red mark, and a tooltip and accessible description that say so.
class UnreadableMarks {
public:
    // `keys` as Quorvel::unreadableKeys names them; keys that no control shows are left out.
    static void Apply(EventProps& editor, const std::vector<std::string>& keys);
    // The text that a marked control carries.
    static QString Note();
};
