#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "external/support/Utf16.h"
#include "model/QuorvelRunner.h"
#include "reports/RunChart.h"
#include "ui/main/ExecReportCharts.h"
#include "ui/main/ExecReportModel.h"
#include "ui/main/PageExReport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QTimer>
#include <gtest/gtest.h>
#include <tuple>
#include <utility>

namespace {

const std::string kHeader = "Date\tTime\tEvent\tTotal (ms)\tCheck time (ms)\tFetch Time (ms)\tAction Time "
                            "(ms)\tFetched Rows\tStatus\tAction SQL\r\n";

std::string Record(int i, const std::string& sql = "")
{
    return "05-Dec-2026\t 9:00:00.000\tEvent " + std::to_string(i) + "\t12\t9\t2\t1\t1\tOK\t" + sql + "\r\n";
}

// The header and then every row, the fields joined by '|'.
QStringList Table(ExecReportModel& model)
{
    QStringList rows;
    for (int row = -1; row < model.rowCount(); ++row) {
        QStringList fields;
        for (int column = 0; column < model.columnCount(); ++column)
            fields << (row < 0 ? model.headerData(column, Qt::Horizontal, Qt::DisplayRole)
                               : model.index(row, column).data())
                          .toString();
        rows << fields.join(QLatin1Char('|'));
    }
    return rows;
}

// The same report reads the same in every encoding the engine or another program may have used,
// lines without a tab give no row and the rows after them are whole, and a tab inside the last
// field stays in that field. Every showing reads the file again into a fresh table; a large report
// arrives in batches while the window thread serves its events.
TEST(PageExReport, ReadsEveryEncodingIntoTheSameTableInBatchesOrTellsItIsMissing)
{
    TempDir dir;
    QuorvelRunner project;
    ScriptedDialogs dialogs;
    PageExReport page(project, nullptr);
    const std::string report = dir.File("report.txt");
    const auto use = [&](const std::string& bytes) {
        WriteFile(report, bytes);
        project.reportFile = project.currentReportFile = report;
    };
    const std::string text
        = kHeader + Record(1) + "SELECT 1\r\n" + Record(2, "UPDATE t SET a = 'é'\tWHERE b") + "\r\n" + Record(3);
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        { "UTF-16LE with its mark", "\xFF\xFE" + Utf8ToUtf16Le(text) },
        { "UTF-8 without a mark", text },
        { "Latin-1 without a mark",
            [&] {
                std::string latin = text;
                latin.replace(latin.find("\xC3\xA9"), 2, "\xE9");
                return latin;
            }() },
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        use(file.bytes);
        page.Activate();
        ASSERT_TRUE(ServeUntil([&] { return !page.Reading(); }));
        const QString row = QStringLiteral("05-Dec-2026| 9:00:00.000|Event %1|12|9|2|1|1|OK|");
        EXPECT_EQ(Table(page.Model()),
            (QStringList { QString::fromStdString(kHeader).trimmed().replace(QLatin1Char('\t'), QLatin1Char('|')),
                row.arg(1), row.arg(2) + QStringLiteral("UPDATE t SET a = '\u00e9'\tWHERE b"), row.arg(3) }));
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // A missing report is told and the table stays (the name in the project and the file of the last
    // run: no file, a file gone, no name).
    for (const auto& names :
        { std::pair(report, std::string()), std::pair(report, dir.File("gone")), std::pair(std::string(), report) }) {
        std::tie(project.reportFile, project.currentReportFile) = names;
        page.Activate();
        EXPECT_EQ(dialogs.messages.takeLast(),
            QStringLiteral(
                "Warning!: Execution report is not created or even not specified in the project properties."));
        EXPECT_EQ(page.Model().rowCount(), 3);
    }

    // Reading again, or going away while reading, stops the reader cleanly.
    constexpr int kRows = 200000;
    std::string large = kHeader;
    for (int i = 0; i < kRows; ++i)
        large += Record(i);
    use("\xFF\xFE" + Utf8ToUtf16Le(large));

    page.Activate();
    page.Activate(); // the first reading is stopped, not added to
    bool served = false;
    int rowsWhenServed = -1;
    QTimer::singleShot(0, &page, [&] {
        served = page.Reading();
        rowsWhenServed = page.Model().rowCount();
    });
    ASSERT_TRUE(ServeUntil([&] { return !page.Reading(); }));
    EXPECT_TRUE(served);
    EXPECT_LT(rowsWhenServed, kRows);
    ASSERT_EQ(page.Model().rowCount(), kRows);
    EXPECT_EQ(page.Model().index(kRows - 1, 2).data().toString(), QStringLiteral("Event %1").arg(kRows - 1));

    auto early = std::make_unique<PageExReport>(project, nullptr);
    early->Activate();
    early.reset(); // joins its reader mid-file
}

// The toggle shows a chart of each event, in the order the events first ran; a line that is no
// record adds nothing. The charts are read afresh at every showing.
TEST(PageExReport, ShowsAChartPerEventOnToggle)
{
    TempDir dir;
    QuorvelRunner project;
    project.reportFile = project.currentReportFile = dir.File("report.txt");
    WriteFile(project.reportFile, kHeader + Record(2) + "SELECT 1\r\n" + Record(1) + Record(2));
    PageExReport page(project, nullptr);
    page.resize(700, 500);
    page.Activate();
    page.ChartsToggle().setChecked(true);
    ASSERT_TRUE(ServeUntil([&] { return !page.ChartsReading() && !page.Reading(); }));
    const auto texts = [&] {
        QStringList shown;
        for (const QLabel* label : page.ChartList().findChildren<QLabel*>())
            shown << (label->pixmap().isNull() ? label->text() : label->accessibleName());
        return shown;
    };
    EXPECT_GE(page.ChartList().height(), 2 * 190); // the pictures stand one below the other, whole
    EXPECT_EQ(texts(), (QStringList { QStringLiteral("Event 2"), QStringLiteral("Check time of Event 2"),
                           QStringLiteral("Event 1"), QStringLiteral("Check time of Event 1") }));
    // The pictures follow the width of the page, once a resize has come to rest.
    const auto widths = [&] {
        std::vector<int> shown;
        for (const QLabel* label : page.ChartList().findChildren<QLabel*>())
            if (!label->pixmap().isNull())
                shown.push_back(label->width());
        return shown;
    };
    for (const int width : { 1100, 600 }) {
        page.resize(width, 500);
        ASSERT_TRUE(ServeUntil([&] { return !page.ChartsReading(); }));
        EXPECT_EQ(widths(),
            std::vector<int>(2, page.ChartList().width() - 2 * page.ChartList().layout()->contentsMargins().left()));
        EXPECT_GT(page.ChartList().width(), width - 40) << width;
    }
    WriteFile(project.reportFile, kHeader);
    page.Activate();
    ASSERT_TRUE(ServeUntil([&] { return !page.ChartsReading(); }));
    EXPECT_EQ(texts(), QStringList { QStringLiteral("The execution report holds no executions.") });
}

// Two runs written to one report, an hour apart (across midnight), read as one event's series:
// its chart breaks the line between them.
TEST(ExecReportCharts, TwoRunsInOneReportAreTwoPiecesOfLine)
{
    ExecReportCharts charts;
    charts.AddLine(kHeader.substr(0, kHeader.size() - 2), TextEncoding::EightBit);
    for (const char* moment : { "05-Dec-2026\t23:30:01.000", "05-Dec-2026\t23:30:02.000", "05-Dec-2026\t23:30:03.000",
             "06-Dec-2026\t 0:30:01.000", "06-Dec-2026\t 0:30:02.000", "06-Dec-2026\t 0:30:03.000" })
        charts.AddLine(std::string(moment) + "\tQueue\t12\t9\t2\t1\t1\tOK\t", TextEncoding::EightBit);
    const std::vector<ExecReportCharts::Event> events = charts.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(RunChart::Make(RunChart::Kind::CheckTime, events.front().series).lineBreaks.size(), 1u);
}

} // namespace
