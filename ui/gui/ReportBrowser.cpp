#include "ui/gui/ReportBrowser.h"

#include "ui/gui/SvgPicture.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

namespace {

const QString kScheme = QStringLiteral("quorvel-picture");

QString AriaLabel(const QString& svg)
{
    static const QRegularExpression label(QStringLiteral("aria-label=\"([^\"]*)\""));
    return label.match(svg).captured(1);
}

} // namespace

ReportBrowser::ReportBrowser(QWidget* parent)
    : QTextBrowser(parent)
{
}

QString ReportBrowser::WithPictures(const QString& html, const QString& prefix, std::vector<QImage>& pictures,
    qreal ratio)
{
    static const QRegularExpression svg(QStringLiteral("<svg\\b.*?</svg>"),
        QRegularExpression::DotMatchesEverythingOption);
    QString shown;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = svg.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        shown += html.mid(from, match.capturedStart() - from);
        from = match.capturedEnd();
        const QImage image = SvgPicture(match.captured().toStdString(), ratio);
        if (image.isNull())
            continue;
        const QSize size = image.deviceIndependentSize().toSize();
        shown += QStringLiteral("<img src=\"%1%2\" width=\"%3\" height=\"%4\" alt=\"%5\">")
                     .arg(prefix)
                     .arg(pictures.size())
                     .arg(size.width())
                     .arg(size.height())
                     .arg(AriaLabel(match.captured()));
        pictures.push_back(image);
    }
    return shown + html.mid(from);
}

QVariant ReportBrowser::loadResource(int type, const QUrl& name)
{
    if (type == QTextDocument::ImageResource && name.scheme() == kScheme) {
        const qsizetype slash = name.path().lastIndexOf(QLatin1Char('/'));
        bool ok = false;
        const size_t index = name.path().mid(slash + 1).toULongLong(&ok);
        return ok && index < pictures_.size() ? QVariant(pictures_[index]) : QVariant();
    }
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::HtmlResource || !resource.isValid())
        return resource;
    const QString html = resource.typeId() == QMetaType::QByteArray ? QString::fromUtf8(resource.toByteArray())
                                                                    : resource.toString();
    if (!html.contains(QStringLiteral("<svg")))
        return resource;
    pictures_.clear();
    const QString prefix = QStringLiteral("%1:%2/").arg(kScheme).arg(++generation_);
    return WithPictures(html, prefix, pictures_, devicePixelRatioF());
}
