#include "engine/FailureNotice.h"

#include "engine/RunTexts.h"
#include "external/support/CLog.h"
#include "external/support/Console.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"

namespace {

// The event's number as the project shows it (1 for the first), 0 outside a project.
int EventNumber(const Quorvel& event)
{
    if (event.runner == nullptr || event.runner->events.empty())
        return 0;
    const Quorvel* first = event.runner->events.data();
    const auto index = &event - first;
    return index >= 0 && index < event.runner->Count() ? static_cast<int>(index) + 1 : 0;
}

void Tell(const Quorvel& event, const std::string& what)
{
    const std::string prefix = EventLinePrefix(event);
    ConsoleError(prefix + what + "\n");
    // The program log has its own time and "quorvel: " would say nothing there.
    CLog::Bug(prefix.substr(9) + what, "Failure");
}

} // namespace

std::string EventLabel(const Quorvel& event)
{
    std::string note;
    AppendReportField(note, event.EventNote.empty() ? event.Description(-1) : event.EventNote);
    return StrFormat("event %d \"%s\"", EventNumber(event), note.c_str());
}

std::string EventLinePrefix(const Quorvel& event)
{
    std::string prefix = "quorvel: ";
    if (event.runner != nullptr && !event.runner->projectName.empty())
        prefix += event.runner->projectName + ": ";
    return prefix + EventLabel(event) + ": ";
}

void TellFailureStarted(const Quorvel& event, const char* what, const std::string& reason)
{
    std::string flat;
    AppendReportField(flat, reason.empty() ? std::string("no reason given") : reason);
    Tell(event, std::string(what) + " failed: " + flat);
}

void TellFailureEnded(const Quorvel& event, const char* what, int count)
{
    Tell(event, StrFormat("%s works again after %d failed execution%s", what, count, count == 1 ? "" : "s"));
}
