#include "external/support/Clock.h"

#include "external/support/StrFormat.h"

#include <chrono>
#include <ctime>

uint32_t TickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

int64_t UnixMilliseconds()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
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
    moment.ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    if (seconds != convertedSecond) {
        localtime_r(&seconds, &converted);
        convertedSecond = seconds;
    }
    moment.tm = converted;
    return moment;
}

namespace {

char Digit(int value)
{
    return static_cast<char>('0' + value % 10);
}

} // namespace

void AppendTimeOfDay(std::string& out, const LocalMoment& moment)
{
    const std::tm& t = moment.tm;
    const bool usual = t.tm_hour >= 0 && t.tm_hour < 100 && t.tm_min >= 0 && t.tm_min < 100 && t.tm_sec >= 0 &&
                       t.tm_sec < 100 && moment.ms >= 0 && moment.ms < 1000;
    if (usual) { // every reading of the clock: twelve characters at once
        const char text[12] = {t.tm_hour < 10 ? ' ' : Digit(t.tm_hour / 10), Digit(t.tm_hour), ':',
                               Digit(t.tm_min / 10), Digit(t.tm_min), ':', Digit(t.tm_sec / 10), Digit(t.tm_sec), '.',
                               Digit(moment.ms / 100), Digit(moment.ms / 10), Digit(moment.ms)};
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
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    AppendDecimal(out, when.tm_mday, 2, '0');
    out += '-';
    out += when.tm_mon >= 0 && when.tm_mon < 12 ? kMonths[when.tm_mon] : "?";
    out += '-';
    // As the C library counts the year: in 32 bits, wrapping when tm_year is near its limit.
    AppendDecimal(out, static_cast<int32_t>(static_cast<uint32_t>(when.tm_year) + 1900u));
}

std::string TimeOfDayText()
{
    std::string text;
    AppendTimeOfDay(text, LocalNow());
    return text;
}
