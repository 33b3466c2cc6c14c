#include "ui/gui/HtmlHelp.h"

// Placeholder until the help window is built.
void ShowHtmlHelp(QWidget*, const QString&)
{
}
