#include "screenshots/Shots.h"
#include "support/UiTestSupport.h"

#include "ui/gui/HelpWindow.h"
#include "ui/main/GlobalRunner.h"
#include "ui/main/PageExReport.h"
#include "ui/main/PageVReport.h"
#include "ui/main/PgLogView.h"

#include <QApplication>
#include <QCheckBox>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>
#include <tuple>

namespace {

// The charts of the run: the summary scrolled to its first picture, the execution report as charts.
void ChartShots(ShotContext& shots)
{
    PageVReport summary(g_runner, 0, nullptr);
    summary.resize(820, 600);
    summary.Activate();
    summary.show();
    QApplication::processEvents();
    QTextBrowser& browser = summary.Browser();
    const QTextCursor picture = browser.document()->find(QString(QChar::ObjectReplacementCharacter));
    if (!picture.isNull()) {
        QTextCursor before = picture;
        before.setPosition(picture.selectionStart());
        browser.verticalScrollBar()->setValue(browser.verticalScrollBar()->value() + browser.cursorRect(before).top() - 6);
    }
    shots.Save(summary, QStringLiteral("viewer-summary-charts"));

    PageExReport report(g_runner, nullptr);
    report.resize(820, 600);
    report.Activate();
    report.ChartsToggle().setChecked(true);
    ServeUntil([&] { return !report.ChartsReading(); }, 5000);
    shots.Save(report, QStringLiteral("viewer-execution-report-charts"));
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
    ChartShots(shots);
}
