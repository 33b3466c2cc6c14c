#pragma once

#include <QString>

class QWidget;

// Every question the window asks the user: message boxes and file choosers. The window shows real
// dialogs; tests install answers of their own, so that no test waits for a person.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // A message box; `style` and the answer as in external/support/MessageBox.h (MB_*, ID*).
    virtual int Message(QWidget* owner, const QString& text, const QString& caption, int style) = 0;
    // A warning that asks whether to go on, its two buttons named `goOn` and `back`: IDYES for
    // `goOn`, IDNO for `back` or a closed box. Unless replaced, a Yes/No message box.
    virtual int Confirm(
        QWidget* owner, const QString& text, const QString& caption, const QString& goOn, const QString& back);
    // A file to open or to save to, or an empty text when the user cancelled. `filter` in Qt's
    // form ("Project files (*.qvl);;All files (*)").
    virtual QString OpenFile(QWidget* owner, const QString& title, const QString& filter, const QString& start) = 0;
    virtual QString SaveFile(QWidget* owner, const QString& title, const QString& filter, const QString& start) = 0;
};

// The dialogs in use: the real ones unless a test installed its own.
UserDialogs& Dialogs();
// Installs `dialogs` (not owned; null restores the real ones). Window thread only.
void SetDialogs(UserDialogs* dialogs);

// Shorthand for Dialogs().Message.
int AskUser(QWidget* owner, const QString& text, const QString& caption, int style);
