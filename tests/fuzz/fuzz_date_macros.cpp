// File names in a project (report, log, summary) and log lines may hold $DATE$ and $TIME$; the
// patterns come from the preferences. Whatever the three texts and the clock say, the expansion
// changes nothing but the macros, and each macro becomes its own pattern's text only.
#include "FuzzCheck.h"
#include "external/support/DateAndTimeMacros.h"

#include <ctime>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

bool HasMacro(const std::string& text)
{
    return text.find("$DATE$") != std::string::npos || text.find("$TIME$") != std::string::npos;
}

// The `when` of the fuzzer's choosing, as the clock could give it.
std::tm LocalTime(std::time_t seconds)
{
    std::tm when {};
    if (localtime_r(&seconds, &when) == nullptr) {
        const std::time_t epoch = 0;
        localtime_r(&epoch, &when);
    }
    return when;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::tm when = LocalTime(input.ConsumeIntegral<std::time_t>());
    const std::string dateFormat = input.ConsumeRandomLengthString(64);
    const std::string timeFormat = input.ConsumeRandomLengthString(64);
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::string expanded = DateAndTimeMacros(text, dateFormat, timeFormat, when);
    if (!HasMacro(text))
        FUZZ_CHECK(expanded == text);

    // Each macro is its pattern's text, whatever the other pattern is: an expansion is never
    // expanded again.
    const std::string date = DateAndTimeMacros("$DATE$", dateFormat, "", when);
    const std::string time = DateAndTimeMacros("$TIME$", "", timeFormat, when);
    FUZZ_CHECK(DateAndTimeMacros("$DATE$", dateFormat, timeFormat, when) == date);
    FUZZ_CHECK(DateAndTimeMacros("$TIME$", dateFormat, timeFormat, when) == time);
    FUZZ_CHECK(DateAndTimeMacros("<$DATE$|$TIME$>", dateFormat, timeFormat, when) == "<" + date + "|" + time + ">");

    // The default patterns give fixed-width digits, so that names sort in time order.
    if (when.tm_year >= -1900 && when.tm_year <= 9999 - 1900) {
        const std::string stamp = DateAndTimeMacros("$DATE$$TIME$", "", "", when);
        FUZZ_CHECK(stamp.size() == 14 && stamp.find_first_not_of("0123456789") == std::string::npos);
    }
    return 0;
}
