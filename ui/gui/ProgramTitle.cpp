#include "ui/gui/ProgramTitle.h"

QString ProgramName()
{
    return QStringLiteral("Olvex Quorvel");
}

QString ProgramTitle(const QString& subject)
{
    QString rest = subject;
    const qsizetype at = rest.indexOf(ProgramName());
    if (at >= 0)
        rest.remove(at, ProgramName().size());
    rest = rest.simplified();
    // What joined the name to the rest of the subject goes with it.
    while (rest.endsWith(QLatin1Char('-')))
        rest = rest.chopped(1).trimmed();
    if (rest.isEmpty())
        return ProgramName();
    return rest + QStringLiteral(" \u2014 ") + ProgramName();
}
