#include "support/TestEnv.h"

#include "external/support/TextLineScanner.h"

#include <gtest/gtest.h>

namespace {

struct Scanned {
    TextEncoding encoding;
    std::vector<std::u16string> lines;
    std::vector<bool> records;
    bool operator==(const Scanned&) const = default;
};

Scanned Scan(const std::string& bytes)
{
    TempDir dir;
    WriteFile(dir.File("f"), bytes);
    TextLineScanner scanner;
    EXPECT_EQ(scanner.Open(dir.File("f")), 0);
    Scanned out { scanner.Encoding(), {}, {} };
    LineSpan span;
    std::string_view line;
    while (scanner.Next(span, line)) {
        out.lines.push_back(DecodeLine(line, scanner.Encoding()));
        out.records.push_back(IsRecordLine(line, scanner.Encoding()));
    }
    return out;
}

TEST(TextLineScanner, FindsTheLinesOfBothEncodingsAndRefusesAMissingFile)
{
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string bytes;
        Scanned scanned;
    } cases[] = {
        { "UTF-16LE, CR LF, last line open", "\xFF\xFE"s + "a\0\t\0b\0\r\0\n\0\t\0x\0\n\0\xE9\0"s,
            { TextEncoding::Utf16Le, { u"a\tb", u"\tx", u"\u00e9" }, { true, false, false } } },
        { "a lone last byte is no code unit", "\xFF\xFE"s + "a\0b"s, { TextEncoding::Utf16Le, { u"a" }, { false } } },
        { "a line feed byte inside a code unit", "\xFF\xFE\x0A\x01\n\0"s,
            { TextEncoding::Utf16Le, { u"\u010A" }, { false } } },
        { "8-bit, LF and CR LF", "a\tb\r\n\n\xC3\xA9\tc",
            { TextEncoding::EightBit, { u"a\tb", u"", u"\u00e9\tc" }, { true, false, true } } },
        { "empty file", "", { TextEncoding::EightBit, {}, {} } },
        { "a long line stays whole", std::string(3 << 20, 'x') + "\nafter",
            { TextEncoding::EightBit, { std::u16string(3 << 20, u'x'), u"after" }, { false, false } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Scan(c.bytes) == c.scanned);
    }
    TextLineScanner scanner;
    EXPECT_EQ(scanner.Open("/nonexistent/report.txt"), -1);
    LineSpan span;
    std::string_view line;
    EXPECT_FALSE(scanner.Next(span, line));
}

} // namespace
