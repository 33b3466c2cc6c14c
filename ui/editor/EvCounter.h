#pragma once

#include "ui/editor/EditorPage.h"

class CHistCBox;
class Quorvel;
class QLineEdit;

// The settings of a performance-counter check: the counter path, picked or typed, and the machine.
class EvCounter : public EditorPage {
    Q_OBJECT
public:
    EvCounter(QWidget* parent, Quorvel& event);

    void Store() override;

    CHistCBox& Counter() { return *counter_; }
    QLineEdit& Machine() { return *machine_; }

private:
    Quorvel& event_;
    CHistCBox* counter_;
    QLineEdit* machine_;
};
