#include "external/support/DateAndTimeMacros.h"

#include <gtest/gtest.h>

namespace {

std::tm Moment()
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 0; // January
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 8;
    t.tm_sec = 9;
    return t;
}

TEST(DateAndTimeMacros, PatternsOfTheSettingsPage)
{
    const std::tm t = Moment();
    EXPECT_EQ(DateAndTimeMacros("r_$DATE$_$TIME$.txt", "", "", t), "r_20260105_070809.txt");
    EXPECT_EQ(DateAndTimeMacros("$DATE$", "DDMMYYYY", "", t), "05012026");
    EXPECT_EQ(DateAndTimeMacros("$DATE$", "MMDDYY", "", t), "010526");
    EXPECT_EQ(DateAndTimeMacros("$DATE$", "YYYY-MM-DD", "", t), "2026-01-05");
    EXPECT_EQ(DateAndTimeMacros("$TIME$", "", "HHMM", t), "0708");
    EXPECT_EQ(DateAndTimeMacros("$TIME$", "", "HH", t), "07");
    EXPECT_EQ(DateAndTimeMacros("$DATE$$DATE$ $date$ $TIME", "DD", "", t), "0505 $date$ $TIME");
    EXPECT_EQ(DateAndTimeMacros("no macros", "", "", t), "no macros");
}

// Found by fuzz_date_macros: the date was expanded first and the whole result searched for $TIME$
// afterwards, so a date pattern holding "$TIME$" became the time as well.
TEST(DateAndTimeMacros, ExpansionsAreNeverExpandedAgain)
{
    const std::tm t = Moment();
    EXPECT_EQ(DateAndTimeMacros("$DATE$", "$TIME$", "HH", t), "$TIME$");
    EXPECT_EQ(DateAndTimeMacros("$TIME$|$DATE$", "DD$", "$DATE$", t), "$DATE$|05$");
    EXPECT_EQ(DateAndTimeMacros("$TIME$DATE$", "", "", t), "070809DATE$") << "left to right";
}

// Found by fuzz_date_macros (UndefinedBehaviorSanitizer): a clock far in the future gives a
// tm_year near the largest int, and adding 1900 overflowed.
TEST(DateAndTimeMacros, YearsBeyondTheIntRange)
{
    std::tm t = Moment();
    t.tm_year = 2147483647;
    EXPECT_EQ(DateAndTimeMacros("$DATE$", "YYYY|YY", "", t), "2147485547|47");
}

} // namespace
