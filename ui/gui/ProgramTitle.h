#pragma once

#include <QString>

// The program's name as its windows show it.
QString ProgramName();
// A window title that names the program once, at its end, as the desktop names a program's
// windows: "subject — Olvex Quorvel". A subject that names the program itself has that name taken
// out first ("Olvex Quorvel Help" gives "Help — Olvex Quorvel"). The platform appends the
// application's name to a title that does not end with it; this one does, so nothing is added.
QString ProgramTitle(const QString& subject);
