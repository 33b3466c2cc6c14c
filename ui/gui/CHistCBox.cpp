#include "ui/gui/CHistCBox.h"

#include <QLineEdit>

CHistCBox::CHistCBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::InsertAlphabetically);
    setMaxVisibleItems(20);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(20);
}

void CHistCBox::AddHistory(const QString& text)
{
    if (text.isEmpty() || findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive) >= 0)
        return;
    int at = 0;
    while (at < count() && itemText(at).compare(text, Qt::CaseInsensitive) < 0)
        ++at;
    insertItem(at, text);
}

void CHistCBox::SetActiveOrAdd(const QString& text)
{
    AddHistory(text);
    const int index = text.isEmpty() ? -1 : findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    setCurrentIndex(index);
    setEditText(text);
}
