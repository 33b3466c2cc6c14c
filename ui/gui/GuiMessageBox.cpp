#include "ui/gui/GuiMessageBox.h"

#include "ui/gui/UserDialogs.h"

#include <QApplication>
#include <QThread>

GuiMessageBox::GuiMessageBox()
    : previous_(SetMessageBoxSink(this))
{
}

GuiMessageBox::~GuiMessageBox()
{
    SetMessageBoxSink(previous_);
}

int GuiMessageBox::Show(const std::string& text, const std::string& caption, int style)
{
    const QString qtext = QString::fromStdString(text);
    const QString qcaption = QString::fromStdString(caption);
    QApplication* app = qApp;
    if (app == nullptr)
        return IDOK;
    if (QThread::currentThread() == app->thread())
        return AskUser(QApplication::activeWindow(), qtext, qcaption, style);
    int answer = IDOK;
    QMetaObject::invokeMethod(
        app, [&] { answer = AskUser(QApplication::activeWindow(), qtext, qcaption, style); },
        Qt::BlockingQueuedConnection);
    return answer;
}
