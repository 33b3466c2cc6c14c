#include "ui/gui/DesktopRecent.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace {

const char kEmptyList[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<xbel version=\"1.0\"\n"
                          "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
                          "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
                          ">\n</xbel>\n";

QString Bookmark(const QString& href)
{
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    return QStringLiteral("  <bookmark href=\"%1\" added=\"%2\" modified=\"%2\" visited=\"%2\">\n"
                          "    <info>\n      <metadata owner=\"http://freedesktop.org\">\n"
                          "        <mime:mime-type type=\"application/x-quorvel-project\"/>\n"
                          "        <bookmark:applications>\n"
                          "          <bookmark:application name=\"Olvex Quorvel\" exec=\"&apos;quorvel %u&apos;\" "
                          "modified=\"%2\" count=\"1\"/>\n"
                          "        </bookmark:applications>\n      </metadata>\n    </info>\n  </bookmark>\n")
        .arg(href.toHtmlEscaped(), now);
}

} // namespace

void AddDesktopRecent(const QString& path)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return;
    const QString listPath = folder + QStringLiteral("/recently-used.xbel");
    QString list = QString::fromLatin1(kEmptyList);
    QFile current(listPath);
    if (current.open(QIODevice::ReadOnly))
        list = QString::fromUtf8(current.readAll());
    const QString href = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
    const qsizetype end = list.lastIndexOf(QStringLiteral("</xbel>"));
    if (end < 0 || list.contains(QStringLiteral("href=\"%1\"").arg(href.toHtmlEscaped())))
        return;
    list.insert(end, Bookmark(href));
    QSaveFile out(listPath);
    if (out.open(QIODevice::WriteOnly) && out.write(list.toUtf8()) >= 0)
        out.commit();
}
