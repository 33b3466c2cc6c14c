#pragma once

#include "ui/editor/EditorPage.h"

#include <array>

class Quorvel;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;

// The "Condition" tab: when the action runs, and for the comparing conditions the operator and the
// value. The first-value and the check-time rows share the event's operator and value fields.
// Below them, whether the action runs at every check whose condition holds or only on changes.
class PgCondition : public EditorPage {
    Q_OBJECT
public:
    // Rows of the comparing conditions.
    enum Row { kRowCount, kFirstValue, kCheckTime };

    PgCondition(QWidget* parent, Quorvel& event);

    void Store() override;

    QButtonGroup& Choice() { return *choice_; }
    QComboBox& Operator(Row row) { return *operators_[row]; }
    QLineEdit& Value(Row row) { return *values_[row]; }
    QComboBox& ActWhen() { return *actWhen_; }
    QLineEdit& RepeatEvery() { return *repeatEvery_; }
    QCheckBox& ActOnRecovery() { return *actOnRecovery_; }

private:
    QGroupBox* MakeChangeGroup();
    void ApplyEnableRule();
    void StoreRow(Row row, int* op, int* value) const;

    Quorvel& event_;
    QButtonGroup* choice_;
    std::array<QComboBox*, 3> operators_ {};
    std::array<QLineEdit*, 3> values_ {};
    QComboBox* actWhen_ = nullptr;
    QLineEdit* repeatEvery_ = nullptr;
    QCheckBox* actOnRecovery_ = nullptr;
};
