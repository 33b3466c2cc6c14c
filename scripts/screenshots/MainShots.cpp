#include "screenshots/Shots.h"
#include "support/TestEnv.h"
#include "support/UiTestSupport.h"

#include "reports/HeadTemplate.h"
#include "ui/main/CEventDlg.h"
#include "ui/main/CEventModes.h"
#include "ui/main/CommandIds.h"
#include "ui/main/PageProject.h"

#include <QDir>

// Every page of the main window over the demo project after a run of it, and the viewers on their
// own over the same run: the demo's paths are relative, so the run happens in a folder of its own
// with a fresh demo database, and its reports use the shipped head template as installed.
void MainShots(ShotContext& shots)
{
    const char* const pageShots[] = { "main-project", "main-properties", "main-console", "main-settings",
        "main-project-report", "main-summary", "main-program-log", "main-exec-log", "main-exec-report" };
    const TempDir folder;
    QDir().mkpath(QString::fromStdString(folder.File("demo-output")));
    RunProcess({ "sh", "-c",
        "sqlite3 " + folder.File("demo-output/demo.db") + " < " QUORVEL_SOURCE_DIR "/examples/demo.sql" });
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder.path()));
    SetHeadTemplateFolder(QUORVEL_SOURCE_DIR "/res/runtime");
    CEventDlg window({ QStringLiteral(QUORVEL_SOURCE_DIR "/examples/demo.qvl"), false, false });
    window.resize(1000, 640);
    window.Project().SetChecked(0, true);
    window.Project().SetChecked(2, true);
    window.Project().SelectRow(1);
    shots.Save(window, QStringLiteral("main-project"));
    window.Dispatch(ID_RUN_PROJECT);
    ServeUntil([&] { return !window.Running(); });
    for (int page = 1; page < CEventModes::kPageCount; ++page) {
        window.SwitchPage(page);
        shots.Save(window, QString::fromLatin1(pageShots[page]));
    }
    window.SwitchPage(CEventModes::kProject);
    shots.Save(window, QStringLiteral("main-project-outcomes"));
    ViewerShots(shots); // while the run's files are there
    QDir::setCurrent(previous);
}
