#pragma once

#include <QString>

// A folder of this process's own under the system's temporary folder, made on first use and
// removed with its content when the process ends: files shown in the window (the project report)
// go there, where no other process or user can replace them.
QString ViewerTempDir();
