#pragma once

#include <string>
#include <vector>

class Quorvel;

// One thing in an event's definition that makes its run differ from what it says, or run badly.
struct EventProblem {
    std::string section; // the file section it concerns ("Item3")
    std::string key;     // the value concerned
    std::string lineKey; // the key whose line in the file the problem is told at
    bool warning = false;
    std::string message; // names the event by its section: "[Item3] is an SQL check without a statement: ..."
};

// What would go wrong when `event` runs, as the project check tells it of the event stored in
// section `section`: a check or action without what it needs, waits that read otherwise than
// they did, a start time the run refuses, an event that checks back to back, a command line or
// counter path the run refuses, a NUL in a text. The same for an event in a file and one in the
// editor, so that both are told alike.
std::vector<EventProblem> EventRunProblems(const Quorvel& event, const std::string& section);

// "; the event is disabled" after a message about a disabled event, else nothing.
const char* DisabledNote(bool enabled);

// A stored text in a message: quoted, cut short, control characters shown as '?'.
std::string QuotedInMessage(const std::string& text);
