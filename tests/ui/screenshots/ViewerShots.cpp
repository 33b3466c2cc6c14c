#include "screenshots/Shots.h"

#include "ui/gui/HelpWindow.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageExReport.h"
#include "ui/main/PageVReport.h"
#include "ui/main/PgLogView.h"

namespace {

void Shoot(ShotContext& shots, CSmPage& page, const QString& name, int height = 600)
{
    page.resize(820, height);
    page.Activate();
    shots.Save(page, name);
}

} // namespace

// The help pages, and every viewer on its own over the project of the window after its run.
void ViewerShots(ShotContext& shots)
{
    HelpWindow::SetPageFolder(QStringLiteral(QUORVEL_SOURCE_DIR "/res/help"));
    for (const char* page : { "index", "tips", "settings" }) {
        HelpWindow window;
        window.resize(760, 620);
        window.ShowPage(QString::fromLatin1(page) + QStringLiteral(".html"));
        shots.Save(window, QStringLiteral("help-") + QString::fromLatin1(page));
    }
    HelpWindow::SetPageFolder({});

    PageVReport report(g_runner, 1, nullptr);
    Shoot(shots, report, QStringLiteral("viewer-project-report"));
    PageVReport summary(g_runner, 0, nullptr);
    Shoot(shots, summary, QStringLiteral("viewer-summary-report"));
    PageExReport execution(g_runner, nullptr);
    Shoot(shots, execution, QStringLiteral("viewer-execution-report"));
    PgLogView custom(g_runner, 1, nullptr);
    Shoot(shots, custom, QStringLiteral("viewer-custom-log"));
    PgLogView programLog(g_runner, 0, nullptr);
    Shoot(shots, programLog, QStringLiteral("viewer-program-log"), 400);
}
