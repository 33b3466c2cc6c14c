// `make screenshots`: paints every page and dialog of the window offscreen into PNG files, so that
// a change to the window can be looked at as a user would see it.
#include "screenshots/Shots.h"
#include "support/ScriptedDialogs.h"
#include "support/UiTestSupport.h"

#include "ui/main/PageExReport.h"
#include "ui/main/PgLogView.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <cstdio>

namespace {

// Whether a page of this kind in `widget` is still reading its file on a worker.
template <typename Page> bool Reading(QWidget& widget)
{
    QList<Page*> pages = widget.findChildren<Page*>();
    pages << qobject_cast<Page*>(&widget);
    return std::any_of(pages.begin(), pages.end(), [](Page* page) { return page != nullptr && page->Reading(); });
}

} // namespace

void ShotContext::Save(QWidget& widget, const QString& name)
{
    widget.show();
    ServeUntil([&] { return !Reading<PageExReport>(widget) && !Reading<PgLogView>(widget); }, 5000);
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    const bool written = widget.grab().save(path);
    failed += written ? 0 : 1;
    std::fprintf(written ? stdout : stderr, written ? "%s\n" : "cannot write %s\n", qPrintable(path));
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel_screenshots FOLDER\n");
        return 2;
    }
    return RunWithApplication(argc, argv, [&] {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath(); // shots may change the folder
        QDir().mkpath(folder);
        ScriptedDialogs dialogs;
        ShotContext shots { folder };
        EditorShots(shots);
        MainShots(shots);
        return shots.failed == 0 ? 0 : 1;
    });
}
