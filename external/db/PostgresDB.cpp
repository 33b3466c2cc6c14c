#include "external/db/PostgresDB.h"

#include "external/db/DriverError.h"

#include <libpq-fe.h>

void PostgresDB::FinishConnection::operator()(PGconn* conn) const
{
    PQfinish(conn);
}

void PostgresDB::ClearResult::operator()(PGresult* result) const
{
    PQclear(result);
}

void PostgresDB::FreeCancel::operator()(PGcancel* cancel) const
{
    PQfreeCancel(cancel);
}

namespace {

// libpq prints notices on standard error; a monitoring run has no one to read them there.
void IgnoreNotice(void*, const char*)
{
}

// COPY speaks a protocol of its own that has no rows to fetch: COPY FROM STDIN is refused, the
// data of COPY TO STDOUT is discarded. Without this, libpq would hand out the COPY state forever.
void EndCopy(PGconn* conn, ExecStatusType status)
{
    if (status != PGRES_COPY_IN && status != PGRES_COPY_OUT && status != PGRES_COPY_BOTH)
        return;
    PQputCopyEnd(conn, "COPY with the client is not supported");
    char* data = nullptr;
    while (PQgetCopyData(conn, &data, 0) > 0)
        PQfreemem(data);
}

} // namespace

PostgresDB::~PostgresDB()
{
    disconnect();
}

PostgresDB::Connection PostgresDB::Open(const CONN_INFO& info)
{
    // The target may be a URI or a key=value string (expand_dbname). Entries before "dbname" are
    // defaults that the target's own settings override; entries after it override the target.
    // Empty values count as absent, so an empty user leaves the target's user in force.
    const char* const keys[]
        = { "connect_timeout", "fallback_application_name", "dbname", "user", "password", "client_encoding", nullptr };
    const char* const values[] = { kConnectTimeout, "quorvel", info.target.c_str(), info.user.c_str(),
        info.password.c_str(), "UTF8", nullptr };
    return Connection(PQconnectdbParams(keys, values, 1));
}

int PostgresDB::connect(const CONN_INFO* info)
{
    disconnect();
    password_ = info->password;
    Connection conn = Open(*info);
    if (!conn)
        return SetError(errorText, "out of memory");
    if (PQstatus(conn.get()) != CONNECTION_OK)
        return SetError(errorText, PQerrorMessage(conn.get()), password_);
    PQsetNoticeProcessor(conn.get(), IgnoreNotice, nullptr);
    Canceller canceller(PQgetCancel(conn.get()));
    std::lock_guard lock(cancelMutex_);
    canceller_ = std::move(canceller);
    conn_ = std::move(conn);
    connected = 1;
    return kOK;
}

int PostgresDB::disconnect()
{
    row_.reset();
    cursor_ = Cursor::Closed;
    resultsPending_ = false;
    std::lock_guard lock(cancelMutex_);
    canceller_.reset();
    conn_.reset();
    connected = 0;
    return kOK;
}

int PostgresDB::execute(const std::string& statement, int)
{
    closeCursor(0);
    if (!conn_)
        return SetError(errorText, "not connected");
    if (PQsendQuery(conn_.get(), statement.c_str()) == 0)
        return FailWith(PQerrorMessage(conn_.get()));
    PQsetSingleRowMode(conn_.get());
    resultsPending_ = true;
    const int rc = NextRow();
    if (rc == kOK)
        cursor_ = Cursor::FirstRowWaiting;
    return rc == kNoRow ? kOK : rc;
}

int PostgresDB::fetch(int)
{
    switch (cursor_) {
    case Cursor::FirstRowWaiting:
        cursor_ = Cursor::OnRow;
        return kOK;
    case Cursor::OnRow: {
        row_.reset();
        const int rc = NextRow();
        if (rc != kOK)
            cursor_ = Cursor::Closed;
        return rc;
    }
    case Cursor::Closed:
        break;
    }
    return kNoRow;
}

// Reads results up to the next row. Statements without rows are passed over; the end of the
// rows of the first statement that has any ends the result, and whatever follows is discarded.
int PostgresDB::NextRow()
{
    while (Result result { PQgetResult(conn_.get()) }) {
        switch (PQresultStatus(result.get())) {
        case PGRES_SINGLE_TUPLE:
            row_ = std::move(result);
            return kOK;
        case PGRES_TUPLES_OK:
        case PGRES_COMMAND_OK:
        case PGRES_EMPTY_QUERY:
            if (cursor_ == Cursor::Closed)
                break;
            DrainResults();
            return kNoRow;
        case PGRES_COPY_IN:
        case PGRES_COPY_OUT:
        case PGRES_COPY_BOTH:
            EndCopy(conn_.get(), PQresultStatus(result.get()));
            break;
        default: {
            const std::string message = PQresultErrorMessage(result.get());
            DrainResults();
            return FailWith(message);
        }
        }
    }
    resultsPending_ = false;
    return kNoRow;
}

int PostgresDB::getData(int column, std::string* out, int, int, int)
{
    const bool onRow = cursor_ == Cursor::OnRow;
    if (CheckColumn(errorText, onRow, column, onRow ? PQnfields(row_.get()) : 0) != kOK)
        return kError;
    if (PQgetisnull(row_.get(), 0, column - 1))
        out->clear();
    else
        out->assign(PQgetvalue(row_.get(), 0, column - 1), static_cast<size_t>(PQgetlength(row_.get(), 0, column - 1)));
    return kOK;
}

// A half-read result may be the start of millions of rows still to come: rather than reading
// them all, ask the server to cancel the statement and discard only what is already on its way.
int PostgresDB::closeCursor(int)
{
    row_.reset();
    cursor_ = Cursor::Closed;
    if (resultsPending_ && !TakeBufferedResults()) {
        // A broken connection has nothing to cancel, and a cancel to a host that went away
        // would wait for the network's time-out.
        if (PQstatus(conn_.get()) == CONNECTION_OK)
            cancel();
        DrainResults();
    }
    return kOK;
}

// True when the rest of the results had already arrived and are now discarded. Small results
// arrive whole with their first row, and for them this spares the round trip of a cancel.
bool PostgresDB::TakeBufferedResults()
{
    // Usually libpq has read everything with the first row; only otherwise look at the socket.
    if (TakeReadyResults())
        return true;
    return PQconsumeInput(conn_.get()) != 0 && TakeReadyResults();
}

// Discards the results that libpq can hand out without waiting; true when that was all of them.
bool PostgresDB::TakeReadyResults()
{
    while (PQisBusy(conn_.get()) == 0) {
        Result result { PQgetResult(conn_.get()) };
        if (!result) {
            resultsPending_ = false;
            return true;
        }
        EndCopy(conn_.get(), PQresultStatus(result.get()));
    }
    return false;
}

void PostgresDB::DrainResults()
{
    while (Result result { PQgetResult(conn_.get()) })
        EndCopy(conn_.get(), PQresultStatus(result.get()));
    resultsPending_ = false;
}

void PostgresDB::cancel()
{
    std::lock_guard lock(cancelMutex_);
    if (!canceller_)
        return;
    char error[256];
    PQcancel(canceller_.get(), error, sizeof error);
}

// A failure on a connection that libpq found broken (the server went away) leaves the object
// disconnected, so that the next connect builds a new connection.
int PostgresDB::FailWith(const std::string& message)
{
    if (PQstatus(conn_.get()) == CONNECTION_BAD)
        connected = 0;
    return SetError(errorText, message, password_);
}
