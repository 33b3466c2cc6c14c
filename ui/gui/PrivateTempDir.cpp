#include "ui/gui/PrivateTempDir.h"

#include <QTemporaryDir>

QString PrivateTempDir()
{
    // A function-local static: made on first use, removed when the program ends.
    static QTemporaryDir dir;
    return dir.isValid() ? dir.path() : QString();
}
