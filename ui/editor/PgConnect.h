#pragma once

#include "ui/editor/EditorPage.h"

class CAdvConnect;
class Quorvel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The "Connection" tab: whether the event needs a database connection, the check connection
// (changed through the set-up dialog) and the SQL console on it.
class PgConnect : public EditorPage {
    Q_OBJECT
public:
    PgConnect(QWidget* parent, Quorvel& event);

    void Store() override;
    void SetupConnection();
    void OpenConsole();

    QRadioButton& UsesConnection() { return *uses_; }
    QRadioButton& NoConnection() { return *notRequired_; }
    QLineEdit& Description() { return *description_; }
    CAdvConnect& Setup() { return *setup_; }

private:
    void ApplyEnableRule();
    void ShowDescription();

    Quorvel& event_;
    CAdvConnect* setup_;
    QRadioButton* uses_;
    QRadioButton* notRequired_;
    QPushButton* setupButton_;
    QPushButton* console_;
    QLineEdit* description_;
};
