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
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    LocalMoment moment;
    moment.ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    localtime_r(&seconds, &moment.tm);
    return moment;
}

std::string TimeOfDayText()
{
    const LocalMoment now = LocalNow();
    return StrFormat("%2d:%02d:%02d.%03d", now.tm.tm_hour, now.tm.tm_min, now.tm.tm_sec, now.ms);
}
