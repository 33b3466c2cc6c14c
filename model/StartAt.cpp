#include "model/StartAt.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// The decimal number at the start of `text` (after blanks and a sign), 0 when there is none.
long long LeadingNumber(const char* text)
{
    const long long value = std::strtoll(text, nullptr, 10);
    return std::clamp(value, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX));
}

} // namespace

int StartAtDelay(const std::string& startAt, const std::tm& now, int* delayMs)
{
    const size_t first = startAt.find(':');
    if (first == std::string::npos || first == 0)
        return -1;
    const size_t second = startAt.find(':', first + 1);
    if (second == std::string::npos)
        return -1;
    const long long hours = LeadingNumber(startAt.c_str());
    const long long minutes = LeadingNumber(startAt.c_str() + first + 1);
    const long long seconds = LeadingNumber(startAt.c_str() + second + 1);
    const long long h = now.tm_hour;
    const long long m = now.tm_min;
    const long long s = now.tm_sec;
    *delayMs = 0;
    if (h > hours || (h == hours && (m > minutes || (m == minutes && s > seconds))))
        return 0;
    long long wait = (minutes - m) * 60 + (seconds - s);
    if (hours - h > 0)
        wait += (hours - h) * 3600;
    *delayMs = static_cast<int>(std::clamp(wait * 1000, 0LL, static_cast<long long>(INT_MAX)));
    return 0;
}
