#pragma once

#include "ui/gui/CSmPage.h"

class QCheckBox;
class QComboBox;

// The preferences that the user sets by hand. The controls show the store's values when the
// page is made; what the user changed is stored (and saved) when the page is left.
class PageSettings : public CSmPage {
    Q_OBJECT
public:
    explicit PageSettings(QWidget* parent = nullptr);

    void Deactivate() override;
    void StoreValues();

private:
    QCheckBox* AddCheck(const QString& text, const char* key);
    QComboBox* AddFormatCombo(const QStringList& entries, const char* key);

    QCheckBox* loadLast_;
    QCheckBox* minimizeOnTray_;
    QCheckBox* fetchAll_;
    QCheckBox* smartInput_;
    QComboBox* dateFormat_;
    QComboBox* timeFormat_;
    QComboBox* logLevel_;
    QComboBox* textEncoding_;
    QComboBox* consoleLines_;
};
