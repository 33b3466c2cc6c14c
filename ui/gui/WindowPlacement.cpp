#include "ui/gui/WindowPlacement.h"

#include "external/support/CSettings.h"

#include <QByteArray>
#include <QWidget>

void SavePlacement(const QWidget& window, const char* name)
{
    if (g_settings != nullptr)
        g_settings->setStr(name, window.saveGeometry().toBase64().toStdString());
}

bool LoadPlacement(QWidget& window, const char* name)
{
    const std::string stored = SettingStr(name);
    if (stored.empty())
        return false;
    return window.restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(stored)));
}
