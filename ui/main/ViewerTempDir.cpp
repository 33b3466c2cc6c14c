#include "ui/main/ViewerTempDir.h"

#include <QDir>
#include <QTemporaryDir>

QString ViewerTempDir()
{
    // QTemporaryDir makes the folder with owner-only rights under a name no one can guess.
    static const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/quorvel-XXXXXX"));
    return folder.isValid() ? folder.path() : QString();
}
