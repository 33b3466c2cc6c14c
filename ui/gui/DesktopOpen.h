#pragma once

#include <QString>
#include <functional>

// Opens a file with the desktop's viewer for its kind (xdg-open). Tests install an opener of
// their own, so that no viewer starts during a test.
void OpenWithDesktop(const QString& path);
// Installs `opener` (an empty function restores the desktop's).
void SetDesktopOpener(std::function<void(const QString&)> opener);
