#include "support/ScriptedDialogs.h"

#include "external/support/MessageBox.h"

ScriptedDialogs::ScriptedDialogs()
{
    SetDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    SetDialogs(nullptr);
}

int ScriptedDialogs::Message(QWidget*, const QString& text, const QString& caption, int style)
{
    messages << caption + QStringLiteral(": ") + text;
    if (!answers_.empty()) {
        const int id = answers_.front();
        answers_.pop_front();
        return id;
    }
    return (style & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}

QString ScriptedDialogs::OpenFile(QWidget*, const QString&, const QString& filter, const QString&)
{
    filters << filter;
    if (files_.empty())
        return {};
    QString path = files_.front();
    files_.pop_front();
    return path;
}
