#pragma once

#include <QString>

class HelpWindow;
class QWidget;

// Shows a help page that ships with the program ("index.html", "tips.html", "settings.html") in
// the help window, the one of this process, made on first use.
void ShowHtmlHelp(QWidget* parent, const QString& page);

// The help window when there is one (tests look at it).
HelpWindow* CurrentHelpWindow();
