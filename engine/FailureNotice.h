#pragma once

#include <string>

class Quorvel;

// Tells the start and the end of a streak of failures of an event where the operator looks: one
// line on standard error, `quorvel: <project>: event <n> "<note>": <what> failed: <reason>` when it
// starts and `... : <what> works again after <count> failed executions` when it ends, and the same
// in the program log. `what` is "check" or "action".
void TellFailureStarted(const Quorvel& event, const char* what, const std::string& reason);
void TellFailureEnded(const Quorvel& event, const char* what, int count);

// `quorvel: <project>: event <n> "<note>": ` for a line about the event on standard error.
std::string EventLinePrefix(const Quorvel& event);
// `<what> failed: <reason>` on one line ("no reason given" for an empty reason): how standard error,
// the program log and the window word a failure.
std::string FailureText(const std::string& what, const std::string& reason);
// The event's index in its project (0 for the first), -1 outside a project.
int EventIndex(const Quorvel& event);
// `event <n> "<note>"` (the description when the note is empty): how messages name the event.
std::string EventLabel(const Quorvel& event);
