#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"

#include "model/QuorvelRunner.h"
#include "ui/main/PageVReport.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QString Shown(PageVReport& page)
{
    return page.Browser().toPlainText();
}

// The anchors that the text browser knows, which the table of contents' links lead to.
QStringList Anchors(PageVReport& page)
{
    QStringList names;
    for (QTextBlock block = page.Browser().document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            names << it.fragment().charFormat().anchorNames();
    }
    return names;
}

TEST(PageVReport, TheProjectReportIsWrittenAfreshIntoAPrivateFolder)
{
    QuorvelRunner project;
    Quorvel event;
    event.EventNote = "before the change";
    project.AddEvent(event);
    PageVReport page(project, 1, nullptr);
    EXPECT_EQ(page.Label(), QStringLiteral("Project Report"));
    page.Activate();
    EXPECT_TRUE(Shown(page).contains(QStringLiteral("before the change")));
    EXPECT_TRUE(Anchors(page).contains(QStringLiteral("P0")));
    EXPECT_TRUE(Anchors(page).contains(QStringLiteral("P1")));

    project.events[0].EventNote = "an unsaved change";
    page.Activate();
    EXPECT_TRUE(Shown(page).contains(QStringLiteral("an unsaved change")));
    EXPECT_FALSE(Shown(page).contains(QStringLiteral("before the change")));

    // Not a fixed name in the shared temporary folder: a folder of this process, for its owner only.
    const QFileInfo folder(QFileInfo(PageVReport::ProjectReportPath()).path());
    EXPECT_NE(folder.absoluteFilePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_EQ(folder.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther), 0);
}

TEST(PageVReport, TheSummaryPageSaysWhyThereIsNothingToShow)
{
    TempDir dir;
    ScriptedDialogs dialogs;
    QuorvelRunner project;
    PageVReport page(project, 0, nullptr);
    EXPECT_EQ(page.Label(), QStringLiteral("Execution Summary Report"));
    page.Activate();
    project.summaryFile = dir.File("summary-$DATE$.html");
    page.Activate(); // named, but no run has written it yet
    project.currentSummaryFile = dir.File("summary-gone.html");
    page.Activate();
    EXPECT_EQ(dialogs.messages,
        QStringList({ QStringLiteral("Warning!: Summary report file is not specified in the project properties."),
            QStringLiteral("Warning!: Summary report is not created yet."),
            QStringLiteral("Warning!: Summary report is not created yet.") }));
}

TEST(PageVReport, TheSummaryIsReadAgainAtEveryShowing)
{
    TempDir dir;
    ScriptedDialogs dialogs;
    QuorvelRunner project;
    project.summaryFile = project.currentSummaryFile = dir.File("summary.html");
    PageVReport page(project, 0, nullptr);
    for (const char* figure : { "3 times", "4 times" }) {
        WriteFile(
            dir.File("summary.html"), std::string("<html><body><p>Check Executed ") + figure + "</p></body></html>");
        page.Activate();
        EXPECT_EQ(Shown(page), QStringLiteral("Check Executed ") + QString::fromLatin1(figure));
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

} // namespace
