#include "ui/gui/DesktopOpen.h"

#include "external/support/MessageBox.h"
#include "external/support/StrFormat.h"
#include "res/Strings.h"
#include "ui/gui/UserDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

std::function<bool(const QString&)>& Opener()
{
    static std::function<bool(const QString&)> opener;
    return opener;
}

QString Text(int id)
{
    return QString::fromUtf8(LoadString(id));
}

} // namespace

int OpenWithDesktop(const QString& path, QString* why)
{
    QString reason;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        reason = Text(IDS_OPEN_NOT_WRITTEN);
    // The desktop's opener answers false when no program is set up for the file's kind (or there
    // is no xdg-open at all).
    else if (!(Opener() ? Opener()(path) : QDesktopServices::openUrl(QUrl::fromLocalFile(path))))
        reason = Text(IDS_OPEN_NO_PROGRAM);
    if (why != nullptr)
        *why = reason;
    return reason.isEmpty() ? 0 : -1;
}

int OpenWithDesktopOrTell(QWidget* owner, const QString& path)
{
    QString why;
    if (OpenWithDesktop(path, &why) == 0)
        return 0;
    const std::string text = StrFormat(LoadString(IDS_OPEN_FAILED), QDir::toNativeSeparators(path).toStdString().c_str(),
        why.toStdString().c_str());
    AskUser(owner, QString::fromStdString(text), Text(IDS_WARNING), MB_OK | MB_ICONWARNING);
    return -1;
}

void SetDesktopOpener(std::function<bool(const QString&)> opener)
{
    Opener() = std::move(opener);
}
