#include "ui/gui/DbTask.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <list>
#include <mutex>
#include <optional>
#include <thread>

// Shared by the task and its worker; outlives whichever of them ends first.
struct DbTask::State {
    std::shared_ptr<CDB> db;
    std::atomic<bool> stop { false };
    // Shared with the pool, which looks at it after the worker (and perhaps this State) is gone.
    std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
    std::mutex ownerMutex;
    DbTask* owner = nullptr; // cleared under ownerMutex when the task lets go
};

namespace {

// Owns every worker thread until the program ends, so that no thread outlives the objects it uses;
// finished threads are joined when the next one starts (they have ended: the join does not wait).
// The ones still running are cancelled and joined when the application object goes, before the
// program's static objects are destroyed: a worker that a late cancel wakes still reports its
// error through them (the password masking of the database objects, for one).
class WorkerPool {
public:
    ~WorkerPool() { CancelAndJoin(); }
    void CancelAndJoin()
    {
        std::lock_guard lock(mutex_);
        for (Worker& worker : workers_) {
            if (std::shared_ptr<CDB> db = worker.db.lock())
                db->cancel();
            worker.thread.join();
        }
        workers_.clear();
    }
    void Add(std::thread thread, std::weak_ptr<CDB> db, std::shared_ptr<const std::atomic<bool>> done)
    {
        std::lock_guard lock(mutex_);
        workers_.remove_if([](Worker& worker) {
            if (!worker.done->load())
                return false;
            worker.thread.join();
            return true;
        });
        workers_.push_back({ std::move(thread), std::move(db), std::move(done) });
    }

private:
    struct Worker {
        std::thread thread;
        std::weak_ptr<CDB> db; // not owned: a finished worker must not keep a connection open
        std::shared_ptr<const std::atomic<bool>> done;
    };
    std::mutex mutex_;
    std::list<Worker> workers_;
};

void JoinWorkers();

WorkerPool& Pool()
{
    static WorkerPool pool;
    static const bool joinedWithTheApplication = (qAddPostRoutine(JoinWorkers), true);
    (void)joinedWithTheApplication;
    return pool;
}

void JoinWorkers()
{
    Pool().CancelAndJoin();
}

int ColumnCount(CDB& db)
{
    int columns = 0;
    std::string value;
    while (db.getData(columns + 1, &value) == CDB::kOK)
        ++columns;
    return columns;
}

// Empty when the database does not tell: the grid then numbers its columns.
std::vector<std::string> ColumnNames(CDB& db, int columns)
{
    std::vector<std::string> names(static_cast<std::size_t>(columns));
    for (int column = 0; column < columns; ++column) {
        if (db.columnName(column + 1, &names[static_cast<std::size_t>(column)]) != CDB::kOK)
            return {};
    }
    return names;
}

} // namespace

DbTask::DbTask(QObject* parent)
    : QObject(parent)
{
}

DbTask::~DbTask()
{
    Abandon();
}

bool DbTask::Start(std::shared_ptr<CDB> db, const CONN_INFO* info, DbJob job)
{
    if (Running() || !db)
        return false;
    auto state = std::make_shared<State>();
    state->db = db;
    state->owner = this;
    state_ = state;
    std::optional<CONN_INFO> connectWith;
    if (info != nullptr)
        connectWith = *info;
    std::thread worker([state, connectWith = std::move(connectWith), job = std::move(job)] {
        DbOutcome outcome;
        CDB& db = *state->db;
        if (connectWith && !CDB::isOK(db.connect(&*connectWith))) {
            outcome.failedAt = DbOutcome::kConnect;
            outcome.error = db.errorText;
        } else if (!state->stop) {
            job(db, outcome, state->stop);
        }
        outcome.cancelled = state->stop;
        std::lock_guard lock(state->ownerMutex);
        if (state->owner != nullptr) {
            QPointer<DbTask> owner(state->owner);
            QMetaObject::invokeMethod(
                state->owner,
                [owner, state, outcome] {
                    if (owner)
                        owner->Deliver(state, outcome);
                },
                Qt::QueuedConnection);
        }
        *state->done = true;
    });
    Pool().Add(std::move(worker), db, state->done);
    return true;
}

void DbTask::Cancel()
{
    if (!state_)
        return;
    state_->stop = true;
    state_->db->cancel();
}

void DbTask::Abandon()
{
    if (!state_)
        return;
    Cancel();
    {
        std::lock_guard lock(state_->ownerMutex);
        state_->owner = nullptr;
    }
    state_.reset();
}

void DbTask::Deliver(const std::shared_ptr<State>& state, const DbOutcome& outcome)
{
    if (state != state_)
        return; // an abandoned task
    state_.reset();
    emit Finished(outcome);
}

DbJob DbTask::FetchRows(std::string statement, long long countBound, std::size_t maxRows)
{
    return [statement = std::move(statement), countBound, maxRows](
               CDB& db, DbOutcome& outcome, const std::atomic<bool>& stop) {
        if (!CDB::isOK(db.execute(statement, 0))) {
            outcome.failedAt = DbOutcome::kStatement;
            outcome.error = db.errorText;
            return;
        }
        int columns = -1;
        while (!stop) {
            const int status = db.fetch(0);
            if (status == CDB::kNoRow)
                break;
            if (!CDB::isOK(status)) {
                outcome.failedAt = DbOutcome::kStatement;
                outcome.error = db.errorText;
                break;
            }
            if (outcome.rowCount == countBound) {
                outcome.moreRows = true;
                break;
            }
            ++outcome.rowCount;
            if (outcome.rows.size() >= maxRows)
                continue;
            if (columns < 0) {
                columns = ColumnCount(db);
                outcome.columns = ColumnNames(db, columns);
            }
            std::vector<std::string> row(static_cast<std::size_t>(columns));
            for (int column = 0; column < columns; ++column)
                db.getData(column + 1, &row[static_cast<std::size_t>(column)]);
            outcome.rows.push_back(std::move(row));
        }
        db.closeCursor(0);
    };
}

DbJob DbTask::Execute(std::string statement)
{
    return [statement = std::move(statement)](CDB& db, DbOutcome& outcome, const std::atomic<bool>&) {
        if (!CDB::isOK(db.execute(statement, 0))) {
            outcome.failedAt = DbOutcome::kStatement;
            outcome.error = db.errorText;
        }
    };
}

QString RowCountText(const DbOutcome& outcome)
{
    if (outcome.moreRows)
        return QCoreApplication::translate("DbTask", "more than %1 rows")
            .arg(QLocale(QLocale::English).toString(outcome.rowCount));
    return QString::number(outcome.rowCount);
}
