#include "ui/gui/HtmlHelp.h"

#include "external/support/MessageBox.h"
#include "res/Strings.h"
#include "ui/gui/HelpWindow.h"
#include "ui/gui/UserDialogs.h"

#include <QApplication>
#include <QPointer>

namespace {

QPointer<HelpWindow>& TheHelpWindow()
{
    static QPointer<HelpWindow> window;
    return window;
}

// The window that asked for help owns the help window: under a modal dialog (the event editor)
// only its own windows take input, so the one help window moves to whichever window asks.
HelpWindow& HelpWindowFor(QWidget* parent)
{
    QWidget* owner = parent != nullptr ? parent->window() : nullptr;
    QPointer<HelpWindow>& window = TheHelpWindow();
    if (window.isNull())
        window = new HelpWindow(owner);
    else if (window->parentWidget() != owner) {
        const QRect place = window->geometry();
        window->setParent(owner, Qt::Window);
        window->setGeometry(place);
    }
    return *window;
}

} // namespace

void ShowHtmlHelp(QWidget* parent, const QString& page)
{
    if (HelpWindow::PagePath(page).isEmpty()) {
        AskUser(parent, QApplication::translate("HtmlHelp", "The help page \"%1\" is not installed.").arg(page),
            QString::fromUtf8(LoadString(IDS_WARNING)), MB_ICONWARNING);
        return;
    }
    HelpWindow& window = HelpWindowFor(parent);
    window.ShowPage(page);
    window.show();
    window.raise();
    window.activateWindow();
}

HelpWindow* CurrentHelpWindow()
{
    return TheHelpWindow().data();
}
