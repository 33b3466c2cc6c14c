#pragma once

#include "ui/gui/UserDialogs.h"

#include <QString>
#include <QStringList>
#include <deque>

// Answers the window's questions from a script instead of a person. Every message box is
// recorded; a box with no scripted answer gets IDCANCEL for questions and IDOK otherwise, and a
// file chooser with no scripted path is cancelled. Installed for the life of the object.
class ScriptedDialogs : public UserDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void Answer(int id) { answers_.push_back(id); }
    void ChooseFile(const QString& path) { files_.push_back(path); }

    int Message(QWidget* owner, const QString& text, const QString& caption, int style) override;
    QString OpenFile(QWidget* owner, const QString& title, const QString& filter, const QString& start) override;
    QString SaveFile(QWidget* owner, const QString& title, const QString& filter, const QString& start) override
    {
        return OpenFile(owner, title, filter, start);
    }

    QStringList messages; // "caption: text" of every box shown, in order
    QStringList filters; // the filter of every file chooser shown

private:
    std::deque<int> answers_;
    std::deque<QString> files_;
};
