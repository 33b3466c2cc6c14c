#pragma once

#include "external/db/CONN_INFO.h"
#include "ui/gui/DbTask.h"

#include <QDialog>
#include <memory>

class CDB;
class CHistCBox;
class QAction;
class QLabel;
class QPushButton;
class QTableView;
class ResultModel;
class SqlEditor;

// The SQL console: statements typed or picked from the ones run before, run on a connection of its
// own, their rows in a grid. Connecting and running happen on a worker; Cancel ends a statement.
// One console serves the whole program (Instance); it has no parent window, so it lives on when
// the window that opened it goes.
class CRunSQL : public QDialog {
    Q_OBJECT
public:
    explicit CRunSQL(QWidget* parent = nullptr);
    ~CRunSQL() override;

    // The program's one console, made on first use and destroyed when the application object goes.
    static CRunSQL& Instance();

    // Offer table and column names of the connection while typing.
    void SetSmartInput(bool on) { smartInput_ = on; }
    // Shows the console and connects to `info` on a worker; a failed connection is reported as
    // "Connection Failed" and closes the console again.
    void Open(const CONN_INFO& info);
    // Open, then the modal run until the console is closed.
    int RunOn(const CONN_INFO& info);

    void Run();
    void Cancel();
    bool Busy() const { return task_.Running(); }
    SqlEditor& Editor() { return *editor_; }
    const ResultModel& Result() const { return *model_; }
    QTableView& Grid() { return *grid_; }
    // The selected cells as tab-separated text, and the whole result as CSV, to the clipboard.
    void CopyCells();
    void CopyCsv();
    QString StatusText() const;

protected:
    void done(int result) override;

private:
    // Starts connecting on a worker; false when there is no database object of that kind.
    bool Connect(const CONN_INFO& info);
    void Connected(const DbOutcome& outcome);
    void RunFinished(const DbOutcome& outcome);
    void SetBusy(bool busy, const QString& status);
    void AddCopyCommands(QPushButton* copyCsv);

    DbTask task_;
    std::shared_ptr<CDB> db_;
    bool smartInput_ = false;
    bool connecting_ = false; // the task under way connects (else it runs a statement)
    SqlEditor* editor_;
    CHistCBox* history_;
    QPushButton* run_;
    QPushButton* cancel_;
    QLabel* status_;
    ResultModel* model_;
    QTableView* grid_;
    QAction* copyCells_;
    QAction* copyCsv_;
};
