#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "external/support/CLog.h"
#include "external/support/StrFormat.h"
#include "external/support/Utf16.h"
#include "model/QuorvelRunner.h"
#include "ui/main/PgLogView.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace {

TEST(PgLogView, ShowsALogWholeAndScrolledToItsEndOrSaysWhyNot)
{
    TempDir dir;
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += StrFormat("queue holds %d entries\r\n", i);
    WriteFile(dir.File("log.txt"), "\xFF\xFE" + Utf8ToUtf16Le(text));
    QuorvelRunner project;
    project.logFile = project.currentLogFile = dir.File("log.txt");
    PgLogView page(project, 1, nullptr);
    page.resize(600, 400);
    page.Activate();
    ASSERT_TRUE(ServeUntil([&] { return !page.Reading(); }));
    EXPECT_EQ(page.Text().toPlainText(),
        QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).chopped(1));
    EXPECT_TRUE(page.Text().textCursor().atEnd());
    EXPECT_TRUE(page.Text().viewport()->rect().contains(page.Text().cursorRect())); // the newest line shows

    // A log in 8-bit text, read again at the next showing.
    WriteFile(dir.File("log.txt"), "first\r\nsecond caf\xE9\n");
    page.Activate();
    ASSERT_TRUE(ServeUntil([&] { return !page.Reading(); }));
    EXPECT_EQ(page.Text().toPlainText(), QStringLiteral("first\nsecond caf\u00e9"));

    for (const std::string& name : { std::string(), dir.File("none.txt") }) {
        project.currentLogFile = name;
        page.Activate();
        EXPECT_EQ(page.Text().toPlainText(),
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
