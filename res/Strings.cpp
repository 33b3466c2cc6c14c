#include "res/Strings.h"

namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kStrings[] = {
    {IDS_CONSOLE_BANNER, " Olvex Quorvel (console mode)...\n"},
    {IDS_WARNING, "Warning!"},
    {IDS_EVENTS_EMPTY, "Events list is empty."},
    {IDS_MAX_EVENTS, "Maximum active events is %d."},
    {IDS_ERROR, "Error!"},
    {IDS_PROJECT_EMPTY, "Project is empty or all events are disabled."},
    {IDS_REPORT_OPEN_FAILED, "Could not open or create report file"},
    {IDS_PROJECT_REPORT, "Olvex Quorvel Project Report"},
    {IDS_NO_CHECKED_EVENTS, "There are no checked events to run"},
    {IDS_SUMMARY_REPORT, "Olvex Quorvel Cumulative Execution Report"},
    {IDS_SUMMARY_NOT_SPECIFIED, "Summary report file is not specified in the project properties."},
    {IDS_SUMMARY_NOT_CREATED, "Summary report is not created yet."},
};

} // namespace

const char* LoadString(int id)
{
    for (const Entry& entry : kStrings) {
        if (entry.id == id)
            return entry.text;
    }
    return "";
}
