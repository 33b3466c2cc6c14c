#pragma once

#include "ui/gui/CSmPage.h"

#include <string>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QuorvelRunner;

// The project's properties: the three output files, the metrics file, the author and the
// description. The fields reach the project when the page is left and before every save.
class PageProps : public CSmPage {
    Q_OBJECT
public:
    explicit PageProps(QWidget* parent = nullptr);

    void SetProject(QuorvelRunner& project) { project_ = &project; }
    void Activate() override;
    void Deactivate() override;
    void ShowProps();
    void StoreProps();
    // While a run lasts the project must not change: the fields are read-only and not stored.
    void SetRunning(bool running);

private:
    QLineEdit* AddField(QGridLayout& grid, int& row, const QString& label, const QString& hint);
    // `extension` is added to a chosen name without one (null: nothing is added).
    void AddBrowse(QGridLayout& grid, QLineEdit* field, int row, int titleId, int filterId, const char* extension);

    QuorvelRunner* project_ = nullptr;
    bool running_ = false;
    QLineEdit* report_;
    QLineEdit* log_;
    QLineEdit* summary_;
    QLineEdit* metrics_;
    QLineEdit* author_;
    QLineEdit* description_;
    QCheckBox* share_;
};
