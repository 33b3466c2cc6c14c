#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "external/support/CSettings.h"
#include "external/support/MessageBox.h"
#include "ui/gui/DesktopOpen.h"
#include "ui/gui/FileFilters.h"
#include "ui/gui/GuiMessageBox.h"
#include "ui/gui/RecentFiles.h"

#include <QStandardPaths>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>

namespace {

// The project filter is checked where the window saves (CEventDlg tests).
TEST(FileFilters, TableFiltersBecomeQtFilters)
{
    EXPECT_EQ(
        QtFilter("Text files (*.txt)|*.txt|All Files(*.*)|*.*||"), QStringLiteral("Text files (*.txt);;All Files (*)"));
    EXPECT_EQ(QtFilter("SQL (*.sql;*.txt)|*.sql;*.txt||"), QStringLiteral("SQL (*.sql *.txt)"));
}

// A file the desktop cannot open is told with its name and why: not there yet, or no program for it.
TEST(DesktopOpen, AFileThatCannotBeOpenedIsToldWhy)
{
    TempDir dir;
    const QString written = QString::fromStdString(dir.File("report.txt"));
    WriteFile(written.toStdString(), "x");
    const QString missing = QString::fromStdString(dir.File("summary.html"));
    for (const auto& [path, viewer, told] : { std::tuple(written, true, QString()),
             std::tuple(written, false, written + QStringLiteral(" cannot be opened: no program is set up to open files of its kind.")),
             std::tuple(missing, true, missing + QStringLiteral(" cannot be opened: it is not written yet.")) }) {
        ScriptedDialogs dialogs;
        QStringList opened;
        SetDesktopOpener([&, viewer = viewer](const QString& file) {
            opened << file;
            return viewer;
        });
        EXPECT_EQ(OpenWithDesktopOrTell(nullptr, path), told.isEmpty() ? 0 : -1);
        EXPECT_EQ(dialogs.messages, told.isEmpty() ? QStringList() : QStringList { QStringLiteral("Warning!: ") + told });
        EXPECT_EQ(opened.size(), path == missing ? 0 : 1);
    }
    SetDesktopOpener({});
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
