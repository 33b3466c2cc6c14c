// The window program, started by `quorvel` when no console run is asked for.
#include "app/CEventApp.h"
#include "external/support/CSettings.h"
#include "ui/gui/GuiMessageBox.h"
#include "ui/main/CEventDlg.h"

#include <QApplication>
#include <memory>

int main(int argc, char** argv)
{
    CEventApp theApp;
    for (int i = 1; i < argc; ++i)
        theApp.ParseParam(argv[i]);
    auto settings = std::make_unique<CSettings>();
    g_settings = settings.get();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel"));
    // No display name: the platform would append it to every window title, which names the
    // program already.
    QApplication::setDesktopFileName(QStringLiteral("quorvel"));
    GuiMessageBox messageBoxes;
    int status = 0;
    {
        CEventDlg window({ QString::fromStdString(theApp.projectPath), theApp.runFlag != 0, theApp.quitFlag != 0 });
        window.show();
        status = app.exec();
    }
    g_settings = nullptr;
    return status;
}
