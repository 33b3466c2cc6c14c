#pragma once

#include "external/support/MessageBox.h"
#include "ui/gui/UserDialogs.h"

#include <QString>
#include <QStringList>
#include <deque>

// Answers the window's questions from a script instead of a person. Every message box is
// recorded; a box with no scripted answer gets IDCANCEL for questions and IDOK otherwise, and a
// file chooser with no scripted path is cancelled. Installed for the life of the object.
class ScriptedDialogs : public UserDialogs {
public:
    ScriptedDialogs() { SetDialogs(this); }
    ~ScriptedDialogs() override { SetDialogs(nullptr); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void Answer(int id) { answers_.push_back(id); }
    void ChooseFile(const QString& path) { files_.push_back(path); }

    int Message(QWidget*, const QString& text, const QString& caption, int style) override
    {
        messages << caption + QStringLiteral(": ") + text;
        return Next(answers_, (style & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL);
    }
    QString OpenFile(QWidget*, const QString&, const QString& filter, const QString&) override
    {
        filters << filter;
        return Next(files_, QString());
    }
    QString SaveFile(QWidget* owner, const QString& title, const QString& filter, const QString& start) override
    {
        return OpenFile(owner, title, filter, start);
    }

    QStringList messages; // "caption: text" of every box shown, in order
    QStringList filters; // the filter of every file chooser shown

private:
    template <typename T> static T Next(std::deque<T>& script, T unscripted)
    {
        if (script.empty())
            return unscripted;
        T next = script.front();
        script.pop_front();
        return next;
    }
    std::deque<int> answers_;
    std::deque<QString> files_;
};
