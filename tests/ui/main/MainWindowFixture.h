#pragma once

#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "ui/gui/GuiMessageBox.h"
#include "ui/main/CEventDlg.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// A main window over a clean project, with every question answered by the test and every file
// that the window would open with the desktop's viewer recorded instead.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the window as start-up does.
    CEventDlg& Open(const QString& path = {}, bool run = false, bool quit = false);
    // A project of two events on a fresh SQLite database in the test's folder: an SQL check that
    // runs three times and a file check that runs until the run is broken (or once: `once`).
    QString WriteProject(const std::string& name = "p.qvl", bool once = false);

    TempDir dir;
    ScriptedDialogs dialogs;
    GuiMessageBox messageBoxes;
    QStringList opened; // files handed to the desktop's viewer
    std::unique_ptr<CEventDlg> window;
};
