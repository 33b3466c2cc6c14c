#include "external/support/ReportFile.h"

#include "external/support/StrFormat.h"
#include "external/support/Utf16.h"
#include "support/TestEnv.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing::AllOf;
using testing::HasSubstr;

const std::string kMark = "\xFF\xFE";
const std::string kHeader = "Date\tTime\tEvent\r\n";

// The lines of a report file after its mark and header, in UTF-8, read strictly.
std::vector<std::string> LinesAfterHeader(const std::string& path)
{
    std::vector<std::string> lines = ReportLines(path);
    EXPECT_EQ(lines.empty() ? "" : lines[0], "Date\tTime\tEvent");
    return lines.empty() ? lines : std::vector<std::string>(lines.begin() + 1, lines.end());
}

// A new file gets the mark (UTF-16LE only) and the header (if any), then only lines; an existing
// empty file gets neither mark nor header. A file that has content keeps its encoding whatever the
// writer's, so a changed preference never mixes two in one file.
TEST(ReportFile, MarkAndHeaderOnlyInNewFilesEachInItsEncoding)
{
    using Encoding = ReportFile::Encoding;
    struct Case {
        std::string before; // none: no file
        Encoding encoding;
        std::string header, expected;
    };
    const std::string none = "\x01";
    const std::string lines = Utf8ToUtf16Le("one \xC3\xA9\r\ntwo\r\n");
    const std::string utf8Lines = "one \xC3\xA9\ntwo\n";
    const Case cases[] = {
        { none, Encoding::Utf16Le, kHeader, kMark + Utf8ToUtf16Le(kHeader) + lines },
        { none, Encoding::Utf16Le, "", kMark + lines },
        { "", Encoding::Utf16Le, kHeader, lines },
        { none, Encoding::Utf8, kHeader, "Date\tTime\tEvent\n" + utf8Lines },
        { "", Encoding::Utf8, kHeader, utf8Lines },
        { kMark, Encoding::Utf8, kHeader, kMark + lines },
        { "x\n", Encoding::Utf16Le, kHeader, "x\n" + utf8Lines },
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.File("report.tsv");
        if (c.before != none)
            WriteFile(path, c.before);
        ReportFile report("execution report");
        report.SetEncoding(c.encoding);
        ASSERT_EQ(report.Append(path, c.header, "one \xC3\xA9\r\n"), 0);
        ASSERT_EQ(report.Append(path, c.header, "two\r\n"), 0);
        EXPECT_EQ(ReadFile(path), c.expected) << c.before.size() << " " << static_cast<int>(c.encoding);
        // The file was built beside and moved into place: nothing of that is left.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
}

TEST(ReportFile, LogsAStreakOfFailuresOnceAndItsEndOnce)
{
    TempDir dir;
    const std::string folder = dir.File("later");
    const std::string path = folder + "/streak.tsv";
    ReportFile report("execution report");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(report.Append(path, kHeader, "lost\r\n"), -1);
    std::vector<std::string> rows = LogRowsNaming(path);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_THAT(rows[0],
        AllOf(HasSubstr("\tReportFile\t"), HasSubstr("execution report"), HasSubstr("No such file or directory")));

    std::filesystem::create_directory(folder);
    EXPECT_EQ(report.Append(path, kHeader, "kept\r\n"), 0);
    EXPECT_EQ(report.Append(path, kHeader, "kept\r\n"), 0);
    rows = LogRowsNaming(path);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_THAT(rows[1], HasSubstr("written again"));
    EXPECT_EQ(LinesAfterHeader(path), (std::vector<std::string> { "kept", "kept" }));
}

// Two processes race for a file that does not exist yet: one mark and header, then every line of
// both whole, each process's in its own order. (Within one process the events of a run write
// their reports under the project's lock.)
TEST(ReportFile, ConcurrentProcessesNeverInterleaveTheirLines)
{
    TempDir dir;
    const std::string path = dir.File("shared.tsv");
    std::vector<std::vector<std::string>> writers(2);
    for (int i = 0; i < 1000; ++i) {
        for (size_t w = 0; w < writers.size(); ++w)
            writers[w].push_back(StrFormat("%c%d\tsome\ttab-separated\tfields", static_cast<int>('a' + w), i));
    }
    RunInProcesses(static_cast<int>(writers.size()), [&](int w) {
        ReportFile report("execution report");
        int failed = 0;
        for (const std::string& line : writers[static_cast<size_t>(w)])
            failed += report.Append(path, kHeader, line + "\r\n") != 0;
        return failed;
    });
    std::vector<std::vector<std::string>> seen(writers.size());
    for (const std::string& line : LinesAfterHeader(path))
        seen.at(static_cast<size_t>(line[0] - 'a')).push_back(line);
    EXPECT_EQ(seen, writers);
}

} // namespace
