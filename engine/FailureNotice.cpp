#include "engine/FailureNotice.h"

#include "external/support/FailureLine.h"
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

} // namespace

std::string EventLabel(const Quorvel& event)
{
    std::string label = "event ";
    AppendDecimal(label, EventNumber(event));
    label += " \"";
    AppendOneLine(label, event.EventNote.empty() ? event.Description(-1) : event.EventNote);
    return label + "\"";
}

std::string EventLinePrefix(const Quorvel& event)
{
    return ProjectLine(event.runner != nullptr ? event.runner->projectName : std::string(), EventLabel(event) + ": ");
}

void TellFailureStarted(const Quorvel& event, const char* what, const std::string& reason)
{
    std::string line = EventLinePrefix(event) + what + " failed: ";
    AppendOneLine(line, reason.empty() ? std::string("no reason given") : reason);
    TellFailure(line, "Failure");
}

void TellFailureEnded(const Quorvel& event, const char* what, int count)
{
    TellFailure(EventLinePrefix(event)
            + StrFormat("%s works again after %d failed execution%s", what, count, count == 1 ? "" : "s"),
        "Failure");
}
