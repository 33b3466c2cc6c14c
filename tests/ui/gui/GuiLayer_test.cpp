#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "external/support/CSettings.h"
#include "external/support/MessageBox.h"
#include "ui/gui/FileFilters.h"
#include "ui/gui/GuiMessageBox.h"
#include "ui/gui/RecentFiles.h"

#include <QStandardPaths>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

// The project filter is checked where the window saves (CEventDlg tests).
TEST(FileFilters, TableFiltersBecomeQtFilters)
{
    EXPECT_EQ(
        QtFilter("Text files (*.txt)|*.txt|All Files(*.*)|*.*||"), QStringLiteral("Text files (*.txt);;All Files (*)"));
    EXPECT_EQ(QtFilter("SQL (*.sql;*.txt)|*.sql;*.txt||"), QStringLiteral("SQL (*.sql *.txt)"));
}

TEST(RecentFiles, NewestFirstTenAtMostNoRepeats)
{
    for (int n = 0; n < 10; ++n)
        g_settings->setStr("Profile" + std::to_string(n), "");
    for (int n = 0; n < 11; ++n)
        AddRecentFile(QStringLiteral("/p/%1.qvl").arg(n));
    QStringList list = RecentFiles();
    EXPECT_EQ(list.first(), QStringLiteral("/p/10.qvl"));
    EXPECT_EQ(list.last(), QStringLiteral("/p/1.qvl")); // /p/0.qvl was pushed out
    AddRecentFile(QStringLiteral("/p/5.qvl")); // already there: order unchanged
    EXPECT_EQ(RecentFiles(), list);
    AddRecentFile(QStringLiteral("/P/5.qvl")); // another case is another file
    EXPECT_EQ(RecentFiles().first(), QStringLiteral("/P/5.qvl"));

    const QByteArray xbel = QByteArray::fromStdString(ReadFile(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString() + "/recently-used.xbel"));
    EXPECT_TRUE(xbel.contains("href=\"file:///P/5.qvl\""));
    EXPECT_EQ(xbel.count("href=\"file:///p/5.qvl\""), 1);
}

// A worker's message box is shown on the window thread and the worker gets the answer, while the
// window thread keeps serving its events.
TEST(GuiMessageBox, AWorkerWaitsForTheAnswerFromTheWindowThread)
{
    ScriptedDialogs dialogs;
    dialogs.Answer(IDNO);
    GuiMessageBox sink;
    std::atomic<int> answer { 0 };
    std::thread worker([&] { answer = ShowMessageBox("Stop?", "Warning!", MB_YESNO); });
    EXPECT_TRUE(ServeUntil([&] { return answer != 0; }));
    worker.join();
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(dialogs.messages, QStringList { QStringLiteral("Warning!: Stop?") });
}

} // namespace
