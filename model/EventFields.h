#pragma once

#include <string>
#include <vector>

class CSysReg;
class Quorvel;

// One stored field of an event definition: its key in the project file, where it lives in the
// record, and what the project check knows of it. Loading, saving, copying, comparing and the
// project check's schema all walk the one table (EventFields), so a field is added in one place.
struct EventField {
    const char* key;
    int Quorvel::*number = nullptr;         // an integer field, or
    std::string Quorvel::*text = nullptr;   // a text field
    int readDefault = 0;                    // what a missing or unreadable integer reads as
    // Written only when not 0, and taken out of a file rewritten in place when it is 0 again:
    // keys that older files lack, so that such a file is saved as it was.
    bool optional = false;
    int max = -1;                 // an enumeration's values are 0 to max; -1: any integer
    const char* what = nullptr;   // an enumeration's name in messages ("condition")
    const char* values = nullptr; // its values as messages list them
};

// Every stored field of an event but its two connections (CONN_INFO stores those), in the order
// the project check lists them.
const std::vector<EventField>& EventFields();

// The field of that key, or null.
const EventField* FindEventField(const std::string& key);

// The event's fields and connections from the section, as the store reads them: a missing or
// unreadable value gives the field's default.
void LoadEventFields(Quorvel& event, CSysReg& store, const std::string& section);
void SaveEventFields(const Quorvel& event, CSysReg& store, const std::string& section);
// Copies every stored field and both connections.
void CopyEventFields(Quorvel& to, const Quorvel& from);
// True when every stored field and both connections are the same.
bool SameEventFields(const Quorvel& a, const Quorvel& b);
