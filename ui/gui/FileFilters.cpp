#include "ui/gui/FileFilters.h"

#include <QStringList>

namespace {

QString QtEntry(const QString& label, QString patterns)
{
    patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    const qsizetype paren = label.indexOf(QLatin1Char('('));
    const QString name = (paren < 0 ? label : label.left(paren)).trimmed();
    return QStringLiteral("%1 (%2)").arg(name, patterns);
}

} // namespace

QString QtFilter(const char* tableFilter)
{
    const QStringList parts = QString::fromUtf8(tableFilter).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries << QtEntry(parts[i], parts[i + 1]);
    return entries.join(QStringLiteral(";;"));
}
