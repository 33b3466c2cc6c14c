#include "screenshots/Shots.h"

#include "ui/gui/HelpWindow.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageExReport.h"
#include "ui/main/PageVReport.h"
#include "ui/main/PgLogView.h"

#include <memory>
#include <tuple>

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

    const std::tuple<const char*, int, std::unique_ptr<CSmPage>> viewers[] = {
        { "viewer-project-report", 600, std::make_unique<PageVReport>(g_runner, 1, nullptr) },
        { "viewer-summary-report", 600, std::make_unique<PageVReport>(g_runner, 0, nullptr) },
        { "viewer-execution-report", 600, std::make_unique<PageExReport>(g_runner, nullptr) },
        { "viewer-custom-log", 600, std::make_unique<PgLogView>(g_runner, 1, nullptr) },
        { "viewer-program-log", 400, std::make_unique<PgLogView>(g_runner, 0, nullptr) },
    };
    for (const auto& [name, height, page] : viewers) {
        page->resize(820, height);
        page->Activate();
        shots.Save(*page, QString::fromLatin1(name));
    }
}
