// The window program, started by `quorvel` when no console run is asked for.
#include "app/CEventApp.h"
#include "external/support/CSettings.h"
#include "ui/gui/GuiMessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <memory>

int main(int argc, char** argv)
{
    CEventApp theApp;
    for (int i = 1; i < argc; ++i)
        theApp.ParseParam(argv[i]);
    auto settings = std::make_unique<CSettings>();
    g_settings = settings.get();
    QApplication app(argc, argv);
    GuiMessageBox messageBoxes;
    QMainWindow window;
    window.setWindowTitle(QStringLiteral(" Olvex Quorvel [untitled]"));
    window.setCentralWidget(new QLabel(QStringLiteral("The main window is being built."), &window));
    window.show();
    const int status = app.exec();
    g_settings = nullptr;
    return status;
}
