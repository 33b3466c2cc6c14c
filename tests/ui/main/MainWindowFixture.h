#pragma once

#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "external/support/CSettings.h"
#include "ui/gui/DesktopOpen.h"
#include "ui/gui/GuiMessageBox.h"
#include "ui/main/CEventDlg.h"
#include "ui/main/GlobalRunner.h"

#include <QApplication>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// A main window over a clean project, with every question answered by the test and every file
// that the window would open with the desktop's viewer recorded instead.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_runner.Clear();
        g_settings->setStr("LastFile", "");
        g_settings->setInt("LoadLastFile", 1);
        for (int n = 0; n < 10; ++n)
            g_settings->setStr("Profile" + std::to_string(n), "");
        SetDesktopOpener([this](const QString& path) {
            opened << path;
            return true;
        });
    }
    void TearDown() override
    {
        window.reset();
        SetDesktopOpener({});
        g_runner.Clear();
    }

    // Makes the window as start-up does.
    CEventDlg& Open(const QString& path = {}, bool run = false, bool quit = false)
    {
        window = std::make_unique<CEventDlg>(CEventDlg::StartOptions { path, run, quit });
        window->show();
        QApplication::processEvents();
        return *window;
    }
    // A project of two events on a fresh SQLite database in the test's folder: an SQL check that
    // runs three times and a file check that runs until the run is broken (or once: `once`).
    QString WriteProject(const std::string& name = "p.qvl", bool once = false)
    {
        const std::string db = dir.File("data.db");
        RunProcess({ "sqlite3", db, "CREATE TABLE t (n INTEGER); INSERT INTO t VALUES (1), (2);" });
        const std::string path = dir.File(name);
        WriteFile(path,
            "[Common]\nItems = 2\nReport = \"" + dir.File("report.txt") + "\"\nSummary = \"" + dir.File("summary.html")
                + "\"\nLog = \"" + dir.File("custom.log")
                + "\"\n\n[Item0]\nEventNote = \"count\"\ntype = 0\nbNeedConnect = 1\nSQL = \"SELECT count(*) FROM t\"\n"
                  "cond = 0\naction = 3\nsLogItem = \"rows $VALUE$\"\niterType = 2\niExecs = 3\n"
                  "intType = 0\n\n[Item0_connect]\ntype = 0\ntarget = \""
                + db + "\"\nuser = \"\"\n\n[Item1]\nEventNote = \"database file\"\ntype = 1\nFileOrDir = \"" + db
                + "\"\ncond = 2\naction = 0\niterType = " + (once ? "1" : "0") + "\nintType = 1\niInterval = 1\n");
        return QString::fromStdString(path);
    }

    TempDir dir;
    ScriptedDialogs dialogs;
    GuiMessageBox messageBoxes;
    QStringList opened; // files handed to the desktop's viewer
    std::unique_ptr<CEventDlg> window;
};
