#include "external/support/DateAndTimeMacros.h"

#include <gtest/gtest.h>

namespace {

TEST(DateAndTimeMacros, ExpandsThePatternsOfTheSettingsPage)
{
    std::tm t {};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 0; // January
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 8;
    t.tm_sec = 9;
    struct Case {
        const char *text, *dateFormat, *timeFormat, *expanded;
    };
    for (const Case& c : {
             Case { "r_$DATE$_$TIME$.txt", "", "", "r_20260105_070809.txt" },
             Case { "$DATE$", "DDMMYYYY", "", "05012026" }, Case { "$DATE$", "MMDDYY", "", "010526" },
             Case { "$DATE$", "YYYY-MM-DD", "", "2026-01-05" }, Case { "$TIME$", "", "HHMM", "0708" },
             Case { "$TIME$", "", "HH", "07" }, Case { "$DATE$$DATE$ $date$ $TIME", "DD", "", "0505 $date$ $TIME" },
             Case { "no macros", "", "", "no macros" },
             // Found by fuzz_date_macros: the date was expanded first and the whole result searched
             // for $TIME$ afterwards, so a date pattern holding "$TIME$" became the time as well.
             Case { "$DATE$", "$TIME$", "HH", "$TIME$" }, Case { "$TIME$|$DATE$", "DD$", "$DATE$", "$DATE$|05$" },
             Case { "$TIME$DATE$", "", "", "070809DATE$" }, // left to right
         })
        EXPECT_EQ(DateAndTimeMacros(c.text, c.dateFormat, c.timeFormat, t), c.expanded) << c.text;

    // Found by fuzz_date_macros (UndefinedBehaviorSanitizer): a clock far in the future gives a
    // tm_year near the largest int, and adding 1900 overflowed.
    t.tm_year = 2147483647;
    EXPECT_EQ(DateAndTimeMacros("$DATE$", "YYYY|YY", "", t), "2147485547|47");
}

} // namespace
