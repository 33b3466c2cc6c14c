#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"

#include "model/QuorvelRunner.h"
#include "ui/main/PageVReport.h"

#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

// The project report is written afresh at every showing; the summary page says why there is
// nothing to show, and reads the file again at every showing.
TEST(PageVReport, BothReportsAreMadeOrReadAtEveryShowing)
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
}

} // namespace
