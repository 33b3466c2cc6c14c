#pragma once

#include <string>

// The string table: every user-visible text that has a number lives here under that number.
enum StringId {
    IDS_CONSOLE_BANNER = 3067,
    IDS_WARNING = 5412,
    IDS_EVENTS_EMPTY = 32754,
    IDS_MAX_EVENTS = 32775,
    IDS_ERROR = 32776,
    IDS_PROJECT_EMPTY = 32781,
    IDS_REPORT_OPEN_FAILED = 32820,
    IDS_PROJECT_REPORT = 32822,
    IDS_NO_CHECKED_EVENTS = 32823,
    IDS_SUMMARY_REPORT = 32824,
    IDS_SUMMARY_NOT_SPECIFIED = 32828,
    IDS_SUMMARY_NOT_CREATED = 32830,
};

// The text of a string-table entry; empty for an unknown number.
const char* LoadString(int id);
