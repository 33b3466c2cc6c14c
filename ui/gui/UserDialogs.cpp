#include "ui/gui/UserDialogs.h"

#include "external/support/MessageBox.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon IconOf(int style)
{
    switch (style & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(int style)
{
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int AnswerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

class QtDialogs : public UserDialogs {
public:
    int Confirm(
        QWidget* owner, const QString& text, const QString& caption, const QString& goOn, const QString& back) override
    {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton, owner);
        QPushButton* yes = box.addButton(goOn, QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(back, QMessageBox::RejectRole));
        box.exec();
        return box.clickedButton() == yes ? IDYES : IDNO;
    }
    int Message(QWidget* owner, const QString& text, const QString& caption, int style) override
    {
        QMessageBox box(IconOf(style), caption, text, ButtonsOf(style), owner);
        return AnswerOf(box.exec());
    }
    QString OpenFile(QWidget* owner, const QString& title, const QString& filter, const QString& start) override
    {
        return QFileDialog::getOpenFileName(owner, title, start, filter);
    }
    QString SaveFile(QWidget* owner, const QString& title, const QString& filter, const QString& start) override
    {
        return QFileDialog::getSaveFileName(owner, title, start, filter);
    }
};

QtDialogs g_qtDialogs;
UserDialogs* g_dialogs = nullptr;

} // namespace

int UserDialogs::Confirm(QWidget* owner, const QString& text, const QString& caption, const QString&, const QString&)
{
    return Message(owner, text, caption, MB_YESNO | MB_ICONWARNING) == IDYES ? IDYES : IDNO;
}

UserDialogs& Dialogs()
{
    return g_dialogs != nullptr ? *g_dialogs : g_qtDialogs;
}

void SetDialogs(UserDialogs* dialogs)
{
    g_dialogs = dialogs;
}

int AskUser(QWidget* owner, const QString& text, const QString& caption, int style)
{
    return Dialogs().Message(owner, text, caption, style);
}
