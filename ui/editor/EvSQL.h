#pragma once

#include "ui/editor/EditorPage.h"

class Quorvel;
class QPushButton;
class SqlEditor;
class StatementTest;

// The settings of an SQL check: its statement, loaded from a file or typed, and a test of it on the
// check connection.
class EvSQL : public EditorPage {
    Q_OBJECT
public:
    EvSQL(QWidget* parent, Quorvel& event);

    void Store() override;
    void Load();
    void Test();

    SqlEditor& Editor() { return *editor_; }
    StatementTest& Tester() { return *test_; }
    QPushButton& CancelButton() { return *cancel_; }

private:
    void ApplyEnableRule();

    Quorvel& event_;
    SqlEditor* editor_;
    QPushButton* testButton_;
    QPushButton* cancel_;
    StatementTest* test_;
};
