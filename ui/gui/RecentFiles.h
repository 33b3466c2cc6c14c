#pragma once

#include <QString>
#include <QStringList>

// The ten most recent projects, newest first, kept under "Profile0" to "Profile9".

// Puts `path` at the head of the list, unless the list already holds exactly that path (then
// nothing changes); the path also goes to the desktop's list of recent documents.
void AddRecentFile(const QString& path);
// The stored paths in profile order; an empty slot gives an empty text.
QStringList RecentFiles();
