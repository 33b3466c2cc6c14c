#pragma once

#include "ui/editor/EditorPage.h"

class Quorvel;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The "Timers" tab: the first delay, the number of iterations, the interval between them and the
// check's timeout.
// Every box stays usable and is stored whichever choice is selected.
class PgTimer : public EditorPage {
    Q_OBJECT
public:
    PgTimer(QWidget* parent, Quorvel& event);

    void Store() override;

    QButtonGroup& DelayChoice() { return *delay_; }
    QButtonGroup& IterationChoice() { return *iterations_; }
    QButtonGroup& IntervalChoice() { return *interval_; }
    QLineEdit& DelayAmount() { return *delayAmount_; }
    QComboBox& DelayUnit() { return *delayUnit_; }
    QLineEdit& StartAt() { return *startAt_; }
    QLineEdit& Executions() { return *executions_; }
    QLineEdit& IntervalAmount() { return *intervalAmount_; }
    QComboBox& IntervalUnit() { return *intervalUnit_; }
    QSpinBox& Timeout() { return *timeout_; }
    // Visible while the start time is one a run would refuse.
    QLabel& StartAtHint() { return *startAtHint_; }

private:
    QWidget* MakeDelayGroup();
    QWidget* MakeIterationGroup();
    QWidget* MakeIntervalGroup();
    QWidget* MakeTimeoutGroup();
    void CheckStartAt();

    Quorvel& event_;
    QButtonGroup* delay_;
    QButtonGroup* iterations_;
    QButtonGroup* interval_;
    QLineEdit* delayAmount_;
    QComboBox* delayUnit_;
    QLineEdit* startAt_;
    QLabel* startAtHint_;
    QLineEdit* executions_;
    QLineEdit* intervalAmount_;
    QComboBox* intervalUnit_;
    QSpinBox* timeout_;
};
