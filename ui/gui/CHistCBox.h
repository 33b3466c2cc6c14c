#pragma once

#include <QComboBox>

// An editable combo box whose list keeps what was chosen or typed before, sorted. The text in the
// edit field counts, whether it was typed or picked from the list.
class CHistCBox : public QComboBox {
    Q_OBJECT
public:
    explicit CHistCBox(QWidget* parent = nullptr);

    // Shows `text`, adding it to the list first when it is not there. An empty text only empties
    // the edit field.
    void SetActiveOrAdd(const QString& text);
    // Adds `text` to the list unless it is empty or there already.
    void AddHistory(const QString& text);
    QString GetCurString() const { return currentText(); }
};
