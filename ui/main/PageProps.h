#pragma once

#include "ui/gui/CSmPage.h"

#include <string>
#include <vector>

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

    // The project's properties as they are now count as saved.
    void SetProject(QuorvelRunner& project);
    void Activate() override;
    void Deactivate() override;
    void ShowProps();
    void StoreProps();
    // While a run lasts the project must not change: the fields are read-only and not stored.
    void SetRunning(bool running);
    // The project's properties are as in its file now (it was loaded, cleared or saved).
    void MarkSaved();
    // A field differs from the property as it was when the project was last marked saved, whether
    // or not the field has reached the project yet.
    bool Changed() const;

private:
    // A field and the property it shows.
    struct Field {
        QLineEdit* edit;
        std::string QuorvelRunner::*property;
    };

    QLineEdit* AddField(QGridLayout& grid, int& row, const QString& label, const QString& hint,
        std::string QuorvelRunner::*property);
    // `extension` is added to a chosen name without one (null: nothing is added).
    void AddBrowse(QGridLayout& grid, QLineEdit* field, int row, int titleId, int filterId, const char* extension);

    QuorvelRunner* project_ = nullptr;
    bool running_ = false;
    std::vector<Field> fields_;
    std::vector<std::string> saved_; // each field's property as last saved
    QCheckBox* share_ = nullptr;
    bool savedShare_ = false;
};
