#include "ui/gui/ColumnWidths.h"

#include "external/support/CSettings.h"

#include <QHeaderView>

void LoadColumnWidths(QHeaderView& header, std::initializer_list<const char*> keys)
{
    int column = 0;
    for (const char* key : keys) {
        const int width = SettingInt(key);
        if (width > 0)
            header.resizeSection(column, width);
        ++column;
    }
}

void StoreColumnWidths(const QHeaderView& header, std::initializer_list<const char*> keys)
{
    if (g_settings == nullptr)
        return;
    int column = 0;
    for (const char* key : keys)
        g_settings->setInt(key, header.sectionSize(column++));
}
