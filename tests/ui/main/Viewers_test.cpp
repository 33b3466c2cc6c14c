#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "external/support/CLog.h"
#include "external/support/StrFormat.h"
#include "external/support/Utf16.h"
#include "model/QuorvelRunner.h"
#include "reports/HeadTemplate.h"
#include "reports/SummaryCharts.h"
#include "ui/gui/ReportBrowser.h"
#include "ui/gui/SvgPicture.h"
#include "ui/main/PageVReport.h"
#include "ui/main/PgLogView.h"

#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace {

// The same picture: the same size, and all but a few pixels the same. The edges of text may be
// smoothed a little differently once other texts of the process have been drawn.
bool DrawnAlike(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return false;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    qsizetype differing = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int column = 0; column < x.width(); ++column)
            differing += x.pixel(column, row) != y.pixel(column, row);
    return differing * 100 <= x.width() * qsizetype { x.height() };
}

// The project report is written afresh at every showing; the summary page and the logs say why
// there is nothing to show, and read their files again at every showing; a long log shows whole,
// scrolled to its end.
TEST(Viewers, ReportsAndLogsAreMadeOrReadAtEveryShowing)
{
    QuorvelRunner project;
    project.AddEvent(Quorvel {});
    project.events[0].EventNote = "before the change";
    PageVReport page(project, 1, nullptr);
    page.Activate();
    EXPECT_TRUE(page.Browser().toPlainText().contains(QStringLiteral("before the change")));
    const QString html = page.Browser().toHtml(); // the anchors the table of contents leads to
    EXPECT_TRUE(html.contains(QStringLiteral("name=\"P0\"")) && html.contains(QStringLiteral("name=\"P1\"")));

    project.events[0].EventNote = "an unsaved change";
    page.Activate();
    EXPECT_TRUE(page.Browser().toPlainText().contains(QStringLiteral("an unsaved change")));
    EXPECT_FALSE(page.Browser().toPlainText().contains(QStringLiteral("before the change")));

    TempDir dir;
    ScriptedDialogs dialogs;
    PageVReport summary(project, 0, nullptr);
    summary.Activate();
    project.summaryFile = dir.File("summary-$DATE$.html");
    summary.Activate(); // named, but no run has written it yet
    EXPECT_EQ(dialogs.messages,
        QStringList({ QStringLiteral("Warning!: Summary report file is not specified in the project properties."),
            QStringLiteral("Warning!: Summary report is not created yet.") }));
    project.currentSummaryFile = dir.File("summary.html");
    for (const char* figure : { "3 times", "4 times" }) {
        WriteFile(
            dir.File("summary.html"), std::string("<html><body><p>Check Executed ") + figure + "</p></body></html>");
        summary.Activate();
        EXPECT_EQ(summary.Browser().toPlainText(), QStringLiteral("Check Executed ") + QString::fromLatin1(figure));
    }
    EXPECT_EQ(dialogs.messages.size(), 2);

    // The window draws the report's inline pictures itself, the same pictures as in the file.
    project.events[0].enabled = 1;
    ExecRecord record;
    for (const char* status : { "OK", "FAILED", "OK" }) {
        record.status = status;
        record.checkTime += 10;
        project.events[0].results.Add(record);
    }
    SetHeadTemplateFolder(QUORVEL_SOURCE_DIR "/res/runtime");
    project.summaryFile = dir.File("summary.html");
    project.WriteSummaryReport();
    SetHeadTemplateFolder("");
    summary.Activate();
    const auto& browser = static_cast<const ReportBrowser&>(summary.Browser());
    const std::vector<std::string> svgs = RunChartPictures(project.events[0].results.series, 1);
    ASSERT_EQ(browser.Pictures().size(), svgs.size());
    for (size_t i = 0; i < svgs.size(); ++i)
        EXPECT_TRUE(DrawnAlike(browser.Pictures()[i], SvgPicture(svgs[i]))) << i;
    EXPECT_FALSE(summary.Browser().toPlainText().contains(QStringLiteral("Outcomes"))); // no text of a picture

    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += StrFormat("queue holds %d entries\r\n", i);
    WriteFile(dir.File("log.txt"), "\xFF\xFE" + Utf8ToUtf16Le(text));
    project.logFile = project.currentLogFile = dir.File("log.txt");
    PgLogView log(project, 1, nullptr);
    log.resize(600, 400);
    log.Activate();
    ASSERT_TRUE(ServeUntil([&] { return !log.Reading(); }));
    EXPECT_EQ(log.Text().toPlainText(),
        QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).chopped(1));
    EXPECT_TRUE(log.Text().textCursor().atEnd());
    EXPECT_TRUE(log.Text().viewport()->rect().contains(log.Text().cursorRect())); // the newest line shows

    // A log in 8-bit text, read again at the next showing.
    WriteFile(dir.File("log.txt"), "first\r\nsecond caf\xE9\n");
    log.Activate();
    ASSERT_TRUE(ServeUntil([&] { return !log.Reading(); }));
    EXPECT_EQ(log.Text().toPlainText(), QStringLiteral("first\nsecond caf\u00e9"));

    for (const std::string& name : { std::string(), dir.File("none.txt") }) {
        project.currentLogFile = name;
        log.Activate();
        EXPECT_EQ(log.Text().toPlainText(),
            QStringLiteral("Execution log is not created or even not specified in the project properties."));
    }

    CLog::SetPath(dir.File("quorvel.log")); // the program log shows its newest rows
    CLog::Bug("connection refused", "Exec SQL");
    PgLogView program(project, 0, nullptr);
    program.Activate();
    EXPECT_TRUE(program.Text().toPlainText().contains(QStringLiteral("connection refused")));
    EXPECT_TRUE(program.Text().textCursor().atEnd());
    CLog::SetPath({});
}

} // namespace
