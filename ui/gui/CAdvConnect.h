#pragma once

#include "external/db/CONN_INFO.h"
#include "ui/gui/DbTask.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The connection set-up dialog: kind, target, user and password of a database connection, with
// a test on a worker that Cancel ends. The password stays in its box and in the record: it is never
// put into a message, a tooltip or the program log.
class CAdvConnect : public QDialog {
    Q_OBJECT
public:
    explicit CAdvConnect(QWidget* parent = nullptr);

    // Runs the dialog modally on `info`; on OK stores what it shows into `info` and returns 1.
    int Edit(CONN_INFO* info);

    void SetConnection(const CONN_INFO& info);
    CONN_INFO Connection() const;

    void TestConnection();
    void CancelTest();
    bool Testing() const { return task_.Running(); }

    // The controls, for tests and pictures.
    QComboBox& Kind() { return *kind_; }
    QComboBox& Target() { return *target_; }
    QLineEdit& User() { return *user_; }
    QLineEdit& Password() { return *password_; }
    QCheckBox& SavePassword() { return *savePassword_; }

protected:
    void done(int result) override;

private:
    void KindChanged();
    void Browse();
    void TestFinished(const DbOutcome& outcome);
    void SetTesting(bool testing);

    DbTask task_;
    QComboBox* kind_;
    QComboBox* target_;
    QPushButton* browse_;
    QLineEdit* user_;
    QLineEdit* password_;
    QCheckBox* savePassword_;
    QPushButton* test_;
    QPushButton* cancelTest_;
    QLabel* hint_;
    QLabel* status_;
};
