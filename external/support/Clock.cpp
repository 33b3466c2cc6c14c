#include "external/support/Clock.h"

#include "external/support/StrFormat.h"

#include <array>
#include <chrono>
#include <ctime>

uint32_t TickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

LocalMoment LocalNow()
{
    // Every line of a run asks for the local time, many times within one second: the conversion
    // (time zone rules, a lock inside the C library) is made once a second per thread.
    thread_local std::time_t convertedSecond = -1;
    thread_local std::tm converted {};
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    LocalMoment moment;
    moment.seconds = seconds;
    moment.unixMs = static_cast<int64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count());
    moment.ms = static_cast<int>(moment.unixMs % 1000);
    if (seconds != convertedSecond) {
        localtime_r(&seconds, &converted);
        convertedSecond = seconds;
    }
    moment.tm = converted;
    return moment;
}

namespace {

// "00" to "99", two characters each: one look-up per field of a time of day.
constexpr auto kTwoDigits = [] {
    std::array<char, 200> digits {};
    for (int i = 0; i < 100; ++i) {
        digits[static_cast<size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        digits[static_cast<size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return digits;
}();

void PutTwo(char* to, int value)
{
    to[0] = kTwoDigits[static_cast<size_t>(2 * value)];
    to[1] = kTwoDigits[static_cast<size_t>(2 * value + 1)];
}

} // namespace

void AppendTimeOfDay(std::string& out, const LocalMoment& moment)
{
    const std::tm& t = moment.tm;
    const bool usual = t.tm_hour >= 0 && t.tm_hour < 100 && t.tm_min >= 0 && t.tm_min < 100 && t.tm_sec >= 0 &&
                       t.tm_sec < 100 && moment.ms >= 0 && moment.ms < 1000;
    if (usual) { // every reading of the clock: twelve characters at once
        char text[12];
        PutTwo(text, t.tm_hour);
        if (t.tm_hour < 10)
            text[0] = ' ';
        text[2] = ':';
        PutTwo(text + 3, t.tm_min);
        text[5] = ':';
        PutTwo(text + 6, t.tm_sec);
        text[8] = '.';
        text[9] = static_cast<char>('0' + moment.ms / 100);
        PutTwo(text + 10, moment.ms % 100);
        out.append(text, sizeof text);
        return;
    }
    AppendDecimal(out, t.tm_hour, 2, ' ');
    out += ':';
    AppendDecimal(out, t.tm_min, 2, '0');
    out += ':';
    AppendDecimal(out, t.tm_sec, 2, '0');
    out += '.';
    AppendDecimal(out, moment.ms, 3, '0');
}

void AppendReportDate(std::string& out, const std::tm& when)
{
    // The date changes once a day: each thread makes its text once and hands it over until then.
    thread_local int day = -1;
    thread_local int month = -1;
    thread_local int year = -1;
    thread_local std::string made;
    if (when.tm_mday != day || when.tm_mon != month || when.tm_year != year) {
        static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        made.clear();
        AppendDecimal(made, when.tm_mday, 2, '0');
        made += '-';
        made += when.tm_mon >= 0 && when.tm_mon < 12 ? kMonths[when.tm_mon] : "?";
        made += '-';
        // As the C library counts the year: in 32 bits, wrapping when tm_year is near its limit.
        AppendDecimal(made, static_cast<int32_t>(static_cast<uint32_t>(when.tm_year) + 1900u));
        day = when.tm_mday;
        month = when.tm_mon;
        year = when.tm_year;
    }
    out += made;
}

std::string TimeOfDayText()
{
    std::string text;
    AppendTimeOfDay(text, LocalNow());
    return text;
}
