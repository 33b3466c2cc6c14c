#include "engine/FailureNotice.h"

#include "external/support/FailureLine.h"
#include "external/support/StrFormat.h"
#include "model/Quorvel.h"
#include "model/QuorvelRunner.h"

int EventIndex(const Quorvel& event)
{
    return event.runner != nullptr ? event.runner->IndexOf(event) : -1;
}

std::string FailureText(const std::string& what, const std::string& reason)
{
    std::string text = what + " failed: ";
    AppendOneLine(text, reason.empty() ? std::string("no reason given") : reason);
    return text;
}

std::string EventLabel(const Quorvel& event)
{
    std::string label = "event ";
    AppendDecimal(label, EventIndex(event) + 1);
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
    TellFailure(EventLinePrefix(event) + FailureText(what, reason), "Failure");
}

void TellFailureEnded(const Quorvel& event, const char* what, int count)
{
    TellFailure(EventLinePrefix(event)
            + StrFormat("%s works again after %d failed execution%s", what, count, count == 1 ? "" : "s"),
        "Failure");
}
