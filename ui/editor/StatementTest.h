#pragma once

#include "external/db/CONN_INFO.h"
#include "ui/gui/DbTask.h"

#include <QObject>
#include <string>

class QWidget;

// The "Test" of a statement on the event's connection, run on a worker; RunningChanged tells the
// page to switch its Test and Cancel buttons. A check test counts the rows (up to a bound) and shows
// the first value; an action test only executes the statement. The answer is a message box.
class StatementTest : public QObject {
    Q_OBJECT
public:
    enum Kind { kCheck, kAction };

    StatementTest(QWidget* page, Kind kind);

    void Start(const CONN_INFO& info, const std::string& statement);
    void Cancel();
    bool Running() const { return task_.Running(); }

signals:
    void RunningChanged();

private:
    void Finished(const DbOutcome& outcome);

    QWidget* page_;
    Kind kind_;
    std::string statement_;
    DbTask task_;
};
