#pragma once

#include "external/db/CDB.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a database task found out. `failedAt` says which step failed (the error is errorText of
// the database object, which never holds a password).
struct DbOutcome {
    enum Step { kNone, kConnect, kStatement };
    Step failedAt = kNone;
    bool cancelled = false;
    std::string error;
    std::vector<std::vector<std::string>> rows; // what the job kept of the result
    std::vector<std::string> columns;           // the result's column names, when the database tells
    long long rowCount = 0;
    bool moreRows = false; // the job stopped reading at its bound
};

// Reading stops after this many rows: a test or a console statement never reads a huge result to the end.
constexpr long long kRowCountBound = 100000;

// "5", or "more than 100,000 rows" when the reading stopped at the bound.
QString RowCountText(const DbOutcome& outcome);

// The work of a task, run on the worker thread with the database object. `stop` turns true when
// the task was cancelled; long loops look at it.
using DbJob = std::function<void(CDB& db, DbOutcome& outcome, const std::atomic<bool>& stop)>;

// Runs one database job at a time on a worker thread, so that the window never waits for a
// database. The result comes back on the window thread through Finished. Cancel asks the database
// to end the statement; Finished then comes as soon as the worker has stopped, marked cancelled.
// Abandon cancels too but forgets the task at once (for a database object nobody uses again): the
// worker ends in its own time and its result is dropped. Destroying the task abandons it; the
// worker keeps what it uses alive and is joined at program end.
class DbTask : public QObject {
    Q_OBJECT
public:
    explicit DbTask(QObject* parent = nullptr);
    ~DbTask() override;

    // Starts `job` on `db`, connecting it with `info` first unless `info` is null. False when a
    // task is still running.
    bool Start(std::shared_ptr<CDB> db, const CONN_INFO* info, DbJob job);
    void Cancel();
    void Abandon();
    bool Running() const { return state_ != nullptr; }

    // The first `maxRows` rows (all columns) into outcome.rows, their column names into
    // outcome.columns, and the count of rows up to
    // `countBound`; with more rows than that, moreRows is set and the reading stops.
    static DbJob FetchRows(std::string statement, long long countBound, std::size_t maxRows);
    // Runs a statement without reading its rows.
    static DbJob Execute(std::string statement);

signals:
    void Finished(const DbOutcome& outcome);

private:
    struct State;
    void Deliver(const std::shared_ptr<State>& state, const DbOutcome& outcome);

    std::shared_ptr<State> state_;
};
