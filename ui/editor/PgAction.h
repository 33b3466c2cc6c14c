#pragma once

#include "ui/editor/EditorPage.h"

class CAdvConnect;
class Quorvel;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SqlEditor;
class StatementTest;

// The "Action" tab: what the event does when its condition holds (nothing, an SQL statement on the
// action connection, a program, a log line) and whether that ends the event or the run.
class PgAction : public EditorPage {
    Q_OBJECT
public:
    PgAction(QWidget* parent, Quorvel& event);

    void Store() override;
    void SetupConnection();
    void Load();
    void Test();
    void BrowseProgram();

    QButtonGroup& Choice() { return *choice_; }
    QLabel& ConnectionText() { return *connection_; }
    SqlEditor& Editor() { return *editor_; }
    QLineEdit& Program() { return *program_; }
    QLineEdit& LogText() { return *log_; }
    QCheckBox& TermEvent() { return *termEvent_; }
    QCheckBox& TermProject() { return *termProject_; }
    QPushButton& TestButton() { return *test_; }
    QPushButton& BrowseButton() { return *browse_; }
    CAdvConnect& Setup() { return *setup_; }
    StatementTest& Tester() { return *tester_; }

private:
    QLayout* MakeSqlRow();
    void ApplyEnableRule();
    void ShowConnection();

    Quorvel& event_;
    CAdvConnect* setup_;
    QButtonGroup* choice_;
    QLabel* connection_;
    QPushButton* setupButton_;
    QPushButton* load_;
    QPushButton* test_;
    QPushButton* cancel_;
    SqlEditor* editor_;
    QLineEdit* program_;
    QPushButton* browse_;
    QLineEdit* log_;
    QCheckBox* termEvent_;
    QCheckBox* termProject_;
    StatementTest* tester_;
};
