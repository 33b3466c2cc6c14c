#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// A monotonic millisecond counter truncated to 32 bits. Durations are differences of two
// readings in unsigned 32-bit arithmetic, so they stay right across the wrap.
uint32_t TickCount();

// The current local calendar time and the milliseconds of the current second, and the same
// reading as seconds and milliseconds since 1970 (UTC).
struct LocalMoment {
    std::tm tm{};
    int ms = 0;
    std::time_t seconds = 0;
    int64_t unixMs = 0;
};
LocalMoment LocalNow();

// Appends the time of day of `moment` as "%2d:%02d:%02d.%03d" (hour padded with a blank).
void AppendTimeOfDay(std::string& out, const LocalMoment& moment);

// Appends the date as the execution report shows it, what strftime's "%d-%b-%Y" gives in the C
// locale (05-Dec-2026), whatever locale the process runs in.
void AppendReportDate(std::string& out, const std::tm& when);

// The local time of day as "%2d:%02d:%02d.%03d" (hour padded with a blank), used by console
// lines, the execution report and the console page.
std::string TimeOfDayText();
