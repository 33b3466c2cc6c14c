#pragma once

#include <QString>
#include <functional>

class QWidget;

// Opens a file with the desktop's viewer for its kind (xdg-open). 0 when a viewer took it; -1
// with `why` (the file is not written yet, or no program is set up for its kind) when none
// could. Tests install an opener of their own, so that no viewer starts during a test.
int OpenWithDesktop(const QString& path, QString* why = nullptr);
// The same, and when it fails a box owned by `owner` names the file and why it did not open.
int OpenWithDesktopOrTell(QWidget* owner, const QString& path);
// Installs `opener`, which answers whether a viewer took the file (an empty function restores
// the desktop's).
void SetDesktopOpener(std::function<bool(const QString&)> opener);
