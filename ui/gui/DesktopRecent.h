#pragma once

#include <QString>

// Adds a file to the desktop's list of recently used documents (the freedesktop.org
// recently-used.xbel of the user's data folder), so that file choosers and launchers offer it.
// Failures are ignored: the list is a convenience of the desktop.
void AddDesktopRecent(const QString& path);
