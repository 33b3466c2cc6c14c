#pragma once

class QWidget;

// A window's size and position, kept in the preference store under the window's name ("MainDlg",
// "EventPropsWnd") as the text form of its geometry.
void SavePlacement(const QWidget& window, const char* name);
// Restores what SavePlacement kept; false (and nothing changed) when nothing usable is stored.
bool LoadPlacement(QWidget& window, const char* name);
