// The appenders that make the lines of every iteration against the printf and strftime formats
// that they replace: the output files and console lines must stay byte for byte the same.
#include "external/support/Clock.h"
#include "external/support/StrFormat.h"
#include "external/support/TextLineScanner.h"
#include "external/support/Utf16.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(LineFormat, DecimalsPadAsPrintfDoes)
{
    for (const long long value : { 0LL, 7LL, -7LL, 42LL, 999LL, 1000LL, -1000LL, 4294967295LL, static_cast<long long>(INT_MIN),
             static_cast<long long>(INT_MAX), LLONG_MIN, LLONG_MAX })
        for (const int width : { 0, 1, 2, 3, 12 }) {
            std::string blank, zero;
            AppendDecimal(blank, value, width, ' ');
            AppendDecimal(zero, value, width, '0');
            EXPECT_EQ(blank, StrFormat("%*lld", width, value)) << value << " " << width;
            EXPECT_EQ(zero, StrFormat("%0*lld", width, value)) << value << " " << width;
        }
}

TEST(LineFormat, TimeOfDayAndReportDateAsBefore)
{
    struct Case {
        int year, mon, mday, hour, min, sec, ms;
    };
    for (const Case& c : { Case { 126, 11, 5, 9, 5, 3, 7 }, Case { 126, 0, 31, 0, 0, 0, 0 },
             Case { 99, 8, 9, 23, 59, 60, 999 }, Case { -901, 5, 1, 12, 30, 15, 50 }, // year 999: no padding
             Case { -1905, 1, 1, 1, 1, 1, 1 }, Case { 8100, 2, 10, 10, 10, 10, 100 }, // negative, five digits
             Case { 9100, 2, 10, 10, 10, 10, 100 }, // only the year differs from the date before
             Case { INT_MAX, 12, 0, -1, 100, 5, 1000 } }) { // out of range: as the C library has it
        LocalMoment m;
        m.tm.tm_year = c.year;
        m.tm.tm_mon = c.mon;
        m.tm.tm_mday = c.mday;
        m.tm.tm_hour = c.hour;
        m.tm.tm_min = c.min;
        m.tm.tm_sec = c.sec;
        m.ms = c.ms;
        std::string time, date;
        AppendTimeOfDay(time, m);
        AppendReportDate(date, m.tm);
        EXPECT_EQ(time, StrFormat("%2d:%02d:%02d.%03d", c.hour, c.min, c.sec, c.ms));
        char expected[64] = "";
        std::strftime(expected, sizeof expected, "%d-%b-%Y", &m.tm); // tests run in the C locale
        EXPECT_EQ(date, expected) << c.year << " " << c.mon << " " << c.mday;
    }
}

TEST(LineFormat, Utf16LeOfEveryKindOfSequence)
{
    struct Case {
        const char* utf8;
        std::string utf16;
    };
    using namespace std::string_literals;
    for (const Case& c : { Case { "", "" }, Case { "a\t\r\n", "a\0\t\0\r\0\n\0"s },
             Case { "\xC3\xA9", "\xE9\0"s }, Case { "\xE2\x82\xAC", "\xAC\x20"s },
             Case { "\xF0\x9F\x98\x80", "\x3D\xD8\x00\xDE"s }, // a surrogate pair
             Case { "x\xC3", "x\0\xFD\xFF"s }, Case { "\xED\xA0\x80", "\xFD\xFF\xFD\xFF\xFD\xFF"s }, // cut, surrogate
             Case { "\xC0\xAF!", "\xFD\xFF\xFD\xFF!\0"s } }) // overlong
        EXPECT_EQ(Utf8ToUtf16Le(c.utf8), c.utf16) << c.utf8;
}

// ASCII is widened eight bytes at a time: a sequence at every place of a line, after a text that
// the output already holds, comes back as it went in.
TEST(LineFormat, Utf16LeAroundEveryPlaceOfAWideningStep)
{
    const std::string ascii = "07-Dec-2026\t 9:30:00.000\trate\t0\t0\r\n";
    for (const char* sequence : { "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80" })
        for (size_t at = 0; at <= ascii.size(); ++at) {
            const std::string text = ascii.substr(0, at) + sequence + ascii.substr(at);
            std::string out = "\xFF\xFE";
            AppendUtf16Le(out, text);
            ASSERT_EQ(out.substr(0, 2), "\xFF\xFE");
            ASSERT_EQ(out.size() % 2, 0u);
            EXPECT_EQ(Utf16ToUtf8(DecodeLine(out.substr(2), TextEncoding::Utf16Le)), text) << at;
        }
}

} // namespace
