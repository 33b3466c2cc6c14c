#include "reports/HeadTemplate.h"
#include "reports/MultiReport.h"
#include "reports/ReportTestKit.h"

#include <filesystem>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

using MultiReportTest = ReportTest;

// A document with hostile texts in every place a caller can put one; the writer is destroyed
// without Close, which must still finish the document.
void WriteHostileDocument(const std::string& path)
{
    MultiReport report;
    report.AddProperty("%TITLE%", "</title><script>alert(1)</script>");
    report.AddProperty("%CHARSET%", MultiReport::kCharset);
    report.AddProperty("%LANGUAGE%", "en-us\" onload=\"alert(1)");
    report.AddReport(REPORT_HTML, path, "head.htm");
    ASSERT_EQ(report.Open(), REPORT_OK);
    report.Text("<h1>a & b</h1>", PARA_TITLE);
    report.BeginLinks();
    report.Link("P0\" onclick=\"x", "<b>Summary</b>");
    report.EndLinks();
    report.Ancor("P0\" onclick=\"x");
    report.Text("<script>alert(1)</script>", PARA_NOTE);
    report.BeginTable();
    report.Row2("SELECT * FROM t WHERE a < 3", "x</td></tr></table><img src=x onerror=alert(1)>");
    report.Row2("bad \x01 bytes \xff and \xc2\x85", "line 1\nline 2");
    report.EndTable();
}

} // namespace

TEST_F(MultiReportTest, WriterKeepsEveryCallerTextAsText)
{
    const std::string path = dir.File("hostile.html");
    WriteHostileDocument(path);
    const auto outline = Outline(path);
    EXPECT_THAT(Items(outline, "title"), ElementsAre("</title><script>alert(1)</script>"));
    EXPECT_THAT(Items(outline, "lang"), ElementsAre("en-us\" onload=\"alert(1)"));
    EXPECT_THAT(Items(outline, "h1"), ElementsAre("<h1>a & b</h1>"));
    EXPECT_THAT(Items(outline, "link"), ElementsAre("#P0\" onclick=\"x\t<b>Summary</b>"));
    EXPECT_THAT(Items(outline, "note"), ElementsAre("<script>alert(1)</script>"));
    EXPECT_THAT(Items(outline, "row"),
        ElementsAre("SELECT * FROM t WHERE a < 3\tx</td></tr></table><img src=x onerror=alert(1)>",
            "bad \uFFFD bytes \uFFFD and \uFFFD\tline 1\\nline 2"));
    EXPECT_THAT(ReadFile(path), Not(HasSubstr("<script")));
}

TEST(HeadTemplate, FillsKnownFieldsInOnePass)
{
    const std::string text = "td { width: 35%; } <title>%TITLE%</title> %AUTHOR% %OTHER% 100%";
    EXPECT_EQ(FillHeadTemplate(text, { { "%TITLE%", "%AUTHOR% & co" }, { "%AUTHOR%", "me" } }),
        "td { width: 35%; } <title>%AUTHOR% &amp; co</title> me %OTHER% 100%");
}

// Without its head template a report still opens, with the built-in head.
TEST_F(MultiReportTest, OpenTellsWhyNothingCanBeWrittenAndWorksWithoutTemplate)
{
    MultiReport report;
    EXPECT_EQ(report.Open(), REPORT_NO_OUTPUT);
    const std::string missing = dir.File("missing/report.html");
    report.AddReport(REPORT_HTML, missing, "head.htm");
    EXPECT_EQ(report.Open(), REPORT_CANNOT_CREATE);
    report.Text("ignored", PARA_TITLE);
    report.Close();
    EXPECT_FALSE(std::filesystem::exists(missing));

    SetHeadTemplateFolder(dir.path());
    const std::string path = dir.File("plain.html");
    report.AddReport(REPORT_HTML, path, "head.htm");
    report.AddProperty("%TITLE%", "Plain");
    report.AddProperty("%CHARSET%", MultiReport::kCharset);
    ASSERT_EQ(report.Open(), REPORT_OK);
    report.Text("Plain", PARA_TITLE);
    report.Close();
    const auto outline = Outline(path);
    EXPECT_THAT(Items(outline, "charset"), ElementsAre("utf-8"));
    EXPECT_THAT(Items(outline, "title"), ElementsAre("Plain"));
}
