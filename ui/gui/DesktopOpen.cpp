#include "ui/gui/DesktopOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

std::function<void(const QString&)>& Opener()
{
    static std::function<void(const QString&)> opener;
    return opener;
}

} // namespace

void OpenWithDesktop(const QString& path)
{
    if (Opener())
        Opener()(path);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void SetDesktopOpener(std::function<void(const QString&)> opener)
{
    Opener() = std::move(opener);
}
