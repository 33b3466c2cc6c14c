#pragma once

#include <QString>

// A folder of this process alone, made on first use with owner-only rights and removed when the
// program ends, for every temporary file the window writes (project reports and the like), so
// that no other user can predict or replace their names. Empty when it could not be made.
QString PrivateTempDir();
