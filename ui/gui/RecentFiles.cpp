#include "ui/gui/RecentFiles.h"

#include "external/support/CSettings.h"
#include "ui/gui/DesktopRecent.h"

namespace {

constexpr int kRecentCount = 10;

std::string ProfileKey(int n)
{
    return "Profile" + std::to_string(n);
}

} // namespace

QStringList RecentFiles()
{
    QStringList paths;
    for (int n = 0; n < kRecentCount; ++n)
        paths << QString::fromStdString(SettingStr(ProfileKey(n).c_str()));
    return paths;
}

void AddRecentFile(const QString& path)
{
    if (g_settings == nullptr || RecentFiles().contains(path, Qt::CaseSensitive))
        return;
    for (int n = kRecentCount - 1; n > 0; --n)
        g_settings->setStr(ProfileKey(n), g_settings->getStr(ProfileKey(n - 1)));
    g_settings->setStr(ProfileKey(0), path.toStdString());
    AddDesktopRecent(path);
    g_settings->SaveData();
}
