#pragma once

#include <ctime>
#include <string>

// Replaces "$DATE$" and "$TIME$" in `text` with the current local date and time.
// Date patterns use DD (day), MM (month), YYYY or YY (year); time patterns HH (hours), MM
// (minutes), SS (seconds); any other character stands as written. An empty pattern means the
// default forms "YYYYMMDD" and "HHMMSS", which sort in time order inside file names.
std::string DateAndTimeMacros(const std::string& text, const std::string& dateFormat,
                              const std::string& timeFormat);

// The same for a given local time (for tests and for callers that already took the time).
std::string DateAndTimeMacros(const std::string& text, const std::string& dateFormat,
                              const std::string& timeFormat, const std::tm& when);
