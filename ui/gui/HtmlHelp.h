#pragma once

#include <QString>

class QWidget;

// Shows a help page that ships with the program ("index.html", "tips.html", "settings.html") in
// the help window.
void ShowHtmlHelp(QWidget* parent, const QString& page);
