#include "external/support/DateAndTimeMacros.h"
#include "external/support/ReadString.h"
#include "external/support/Utf16.h"
#include "support/TestEnv.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

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

TEST(Utf16, RoundTripsAndRepairs)
{
    const std::string text = "Grüße \xF0\x9F\x98\x80 end";
    const std::string bytes = Utf8ToUtf16Le(text);
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    EXPECT_EQ(Utf16ToUtf8(units), text);
    EXPECT_EQ(Utf16ToUtf8(u"a\xD800z"), "a\xEF\xBF\xBDz") << "an unpaired surrogate becomes U+FFFD";
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_FALSE(IsValidUtf8("\xC3"));
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\x80")) << "overlong";
    EXPECT_EQ(EightBitToUtf8("caf\xE9"), "caf\xC3\xA9") << "Latin-1 where it is not UTF-8";
}

std::vector<std::string> ReadLines(const std::string& path, int mode, bool skipMark)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (skipMark) {
        std::fgetc(file.get());
        std::fgetc(file.get());
    }
    std::vector<std::string> lines;
    std::string line;
    while (ReadString(file.get(), &line, mode))
        lines.push_back(line);
    return lines;
}

TEST(ReadString, ReadsUtf16AndEightBitLines)
{
    TempDir dir;
    WriteFile(dir.File("u16.txt"), "\xFF\xFE" + Utf8ToUtf16Le("Date\tTime\r\nGrüße\r\n\r\nlast"));
    EXPECT_EQ(ReadLines(dir.File("u16.txt"), 0, true),
              (std::vector<std::string>{"Date\tTime", "Grüße", "", "last"}));
    WriteFile(dir.File("8bit.txt"), "one\r\ncaf\xE9\nGr\xC3\xBC\xC3\x9F" "e\n");
    EXPECT_EQ(ReadLines(dir.File("8bit.txt"), 1, false), (std::vector<std::string>{"one", "caf\xC3\xA9", "Grüße"}));
    WriteFile(dir.File("empty.txt"), "");
    EXPECT_TRUE(ReadLines(dir.File("empty.txt"), 1, false).empty());
}

} // namespace
