#include "res/Strings.h"

namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kStrings[] = {
    { IDS_TIP_NEW, "New empty project (Ctrl+N)" },
    { IDS_TIP_RUN, "Run the project (Ctrl+R)" },
    { IDS_TIP_MODIFY, "Open event editor" },
    { IDS_TIP_DELETE, "Drop selected event" },
    { IDS_TIP_LOAD, "Load project from the disk file (Ctrl+O)" },
    { IDS_TIP_SAVE, "Save project to file (Ctrl+S)" },
    { IDS_FILTER_PROJECT, "Quorvel Projects (*.qvl)|*.qvl|All Files (*.*)|*.*||" },
    { IDS_ASK_SAVE, "Project is not saved. Save it?" },
    { IDS_NO_SELECTION, "No event was selected." },
    { IDS_FILTER_TEXT, "Text files (*.txt)|*.txt|All Files(*.*)|*.*||" },
    { IDS_TIP_ADD, "Add new event definition (Ctrl+I)" },
    { IDS_CONSOLE_BANNER, " Olvex Quorvel (console mode)...\n" },
    { IDS_TIP_REPORT, "Create project HTML report" },
    { IDS_TIP_BREAK, "Stop project Execution" },
    { IDS_TIP_RUN_CHECKED, "Run checked events" },
    { IDS_TIP_COPY, "Duplicate selected event" },
    { IDS_WARNING, "Warning!" },
    { IDS_TIP_PAUSE, "Set execution pause" },
    { IDS_EVENTS_EMPTY, "Events list is empty." },
    { IDS_TIP_ABOUT, "About Olvex Quorvel (Ctrl+A)" },
    { IDS_MAX_EVENTS, "Maximum active events is %d." },
    { IDS_ERROR, "Error!" },
    { IDS_ASK_DELETE, "Delete selected event?" },
    { IDS_TIP_LOG, "View Log (Ctrl+L)" },
    { IDS_PROJECT_EMPTY, "Project is empty or all events are disabled." },
    { IDS_NO_RECENT, "No recent projects" },
    { IDS_FILTER_HTML, "HTML documents (*.html)|*.html|All Files(*.*)|*.*||" },
    { IDS_REPORT_OPEN_FAILED, "Could not open or create report file" },
    { IDS_PROJECT_REPORT, "Olvex Quorvel Project Report" },
    { IDS_NO_CHECKED_EVENTS, "There are no checked events to run" },
    { IDS_SUMMARY_REPORT, "Olvex Quorvel Cumulative Execution Report" },
    { IDS_LOG_NOT_SET, "Log file is not specified in the project properties." },
    { IDS_LOG_EMPTY, "Log file is empty yet." },
    { IDS_REPORT_NOT_SET, "Report file is not specified in the project properties." },
    { IDS_SUMMARY_NOT_SET, "Summary report file is not specified in the project properties." },
    { IDS_REPORT_EMPTY, "Report file is empty yet." },
    { IDS_SUMMARY_NOT_CREATED, "Summary report is not created yet." },
    { IDS_ASK_DELETE_CHECKED, "You have %d checked events.\nDo you wish to remove them?" },
    { IDS_TITLE, " Olvex Quorvel %s[%s%s]" },
    { IDS_SAVE_PROJECT_TO, "Save Project to" },
    { IDS_LOAD_PROJECT_FROM, "Load Project File from" },
    { IDS_SAVE_PROJECT_REPORT_TO, "Save Project Report to" },
    { IDS_SAVE_EXEC_REPORT_TO, "Save Execution Report to" },
    { IDS_SAVE_LOG_TO, "Save Log File to" },
    { IDS_CONDITION_NO_CHANGE, "Condition holds, no change" },
    { IDS_TIP_ACT_WHEN, "Act at every check whose condition holds, or only when the condition starts to hold "
                        "(no alert storms: $STATE$ is PROBLEM then)" },
    { IDS_TIP_REPEAT_EVERY, "While the condition still holds, act again every this many checks ($STATE$ is "
                            "REPEAT); 0 never repeats" },
    { IDS_TIP_ACT_ON_RECOVERY, "Act once more at the first check whose condition no longer holds "
                               "($STATE$ is RECOVERED)" },
    { IDS_OPEN_FAILED, "%s cannot be opened: %s." },
    { IDS_OPEN_NOT_WRITTEN, "it is not written yet" },
    { IDS_OPEN_NO_PROGRAM, "no program is set up to open files of its kind" },
    { IDS_EVENT_PROBLEMS, "Saved as it is, this event will not run as meant:\n\n%s\n\nquorvel --check reports the "
                          "same once the project is saved." },
    { IDS_SAVE_ANYWAY, "Save anyway" },
    { IDS_GO_BACK, "Go back" },
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
