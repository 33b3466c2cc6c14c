#pragma once

#include <QString>

// A file-dialog filter of the string table ("Text files (*.txt)|*.txt|All Files(*.*)|*.*||") in
// the form Qt's file dialogs take ("Text files (*.txt);;All Files (*)"). "*.*" becomes "*", so
// that "All Files" also lists names without a dot.
QString QtFilter(const char* tableFilter);
