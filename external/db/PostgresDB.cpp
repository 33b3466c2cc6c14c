#include "external/db/PostgresDB.h"

#include "external/db/DriverError.h"

#include <algorithm>
#include <cstdint>
#include <libpq-fe.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>

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

PostgresDB::PostgresDB()
    : wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

PostgresDB::~PostgresDB()
{
    disconnect();
    if (wakeFd_ >= 0)
        close(wakeFd_);
}

PostgresDB::Connection PostgresDB::Open(const CONN_INFO& info)
{
    // The target may be a URI or a key=value string (expand_dbname). Entries before "dbname" are
    // defaults that the target's own settings override; entries after it override the target.
    // Empty values count as absent, so an empty user leaves the target's user in force.
    // Keepalives and a TCP user timeout notice a host or a network that went away within seconds,
    // where the system's defaults would wait for hours (a statement) or a quarter of an hour
    // (unacknowledged data).
    const char* const keys[] = { "connect_timeout", "keepalives", "keepalives_idle", "keepalives_interval",
        "keepalives_count", "tcp_user_timeout", "fallback_application_name", "dbname", "user", "password",
        "client_encoding", nullptr };
    const char* const values[] = { kConnectTimeout, "1", "10", "5", "3", "20000", "quorvel", info.target.c_str(),
        info.user.c_str(), info.password.c_str(), "UTF8", nullptr };
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
    Canceller canceller(PQgetCancel(conn.get()), FreeCancel());
    std::lock_guard lock(cancelMutex_);
    canceller_ = std::move(canceller);
    conn_ = std::move(conn);
    abandoned_ = false;
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
    inStatement_ = false;
    cancelPending_ = false;
    connected = 0;
    return kOK;
}

int PostgresDB::execute(const std::string& statement, int)
{
    CloseResults();
    if (!conn_)
        return SetError(errorText, "not connected");
    if (!BeginStatement())
        return SetError(errorText, "cancelled");
    if (PQsendQuery(conn_.get(), statement.c_str()) == 0) {
        EndStatement();
        return FailWith(PQerrorMessage(conn_.get()));
    }
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
    while (Result result { NextResult() }) {
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
    EndStatement();
    // Without a result, a connection that broke would read as a statement without rows.
    if (PQstatus(conn_.get()) == CONNECTION_BAD)
        return FailWith(PQerrorMessage(conn_.get()));
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

int PostgresDB::columnName(int column, std::string* out)
{
    const bool onRow = cursor_ == Cursor::OnRow;
    if (CheckColumn(errorText, onRow, column, onRow ? PQnfields(row_.get()) : 0) != kOK)
        return kError;
    out->assign(PQfname(row_.get(), column - 1));
    return kOK;
}

// Also ends a cancel that came after the last statement had ended: it was meant for that one.
int PostgresDB::closeCursor(int)
{
    CloseResults();
    std::lock_guard lock(cancelMutex_);
    if (!inStatement_)
        cancelPending_ = false;
    return kOK;
}

// A half-read result may be the start of millions of rows still to come: rather than reading
// them all, ask the server to cancel the statement and discard only what is already on its way.
void PostgresDB::CloseResults()
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
            EndStatement();
            return true;
        }
        EndCopy(conn_.get(), PQresultStatus(result.get()));
    }
    return false;
}

void PostgresDB::DrainResults()
{
    while (Result result { NextResult() })
        EndCopy(conn_.get(), PQresultStatus(result.get()));
    EndStatement();
}

// False (and the cancel taken) when a cancel came before the statement could start.
bool PostgresDB::BeginStatement()
{
    std::lock_guard lock(cancelMutex_);
    if (cancelPending_) {
        cancelPending_ = false;
        return false;
    }
    inStatement_ = true;
    return true;
}

void PostgresDB::EndStatement()
{
    resultsPending_ = false;
    std::lock_guard lock(cancelMutex_);
    inStatement_ = false;
    cancelPending_ = false;
}

// PQgetResult that never waits for ever: it waits for the server here, where a cancel can cut
// the wait short.
PGresult* PostgresDB::NextResult()
{
    while (PQisBusy(conn_.get()) != 0 && PQstatus(conn_.get()) == CONNECTION_OK) {
        AwaitInput();
        if (PQconsumeInput(conn_.get()) == 0)
            break; // the connection broke: PQgetResult tells it without waiting
    }
    return PQgetResult(conn_.get());
}

// Waits until the server sent something, or a cancel came. A cancelled statement that has not
// ended within kCancelGraceMs (a server that stopped answering may never send the answer, nor
// take the cancel request) loses its connection: shutting the socket down ends the wait at once,
// and libpq then finds the connection broken. Only this thread uses the socket, so no lock is
// needed for it.
void PostgresDB::AwaitInput()
{
    const int sock = PQsocket(conn_.get());
    int timeoutMs = -1;
    {
        std::lock_guard lock(cancelMutex_);
        if (cancelPending_) {
            const auto left = cancelAt_ + std::chrono::milliseconds(kCancelGraceMs) - std::chrono::steady_clock::now();
            timeoutMs = static_cast<int>(
                std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(left).count()));
        }
    }
    pollfd fds[2] = { { sock, POLLIN, 0 }, { wakeFd_, POLLIN, 0 } };
    const int ready = timeoutMs == 0 ? 0 : poll(fds, wakeFd_ >= 0 ? 2 : 1, timeoutMs);
    if (ready == 0 && timeoutMs >= 0) {
        abandoned_ = true;
        shutdown(sock, SHUT_RDWR);
    }
    uint64_t wakes = 0;
    if (ready > 0 && (fds[1].revents & POLLIN) != 0 && read(wakeFd_, &wakes, sizeof wakes) < 0)
        wakes = 0; // another wake is as good
}

// The request goes from a thread of its own: a server that stopped answering would hold up the
// caller (Break all, the timeout's watcher) for ever. The thread owns a share of the canceller,
// so it may outlive this connection; it ends when the server answers or the system gives up.
void PostgresDB::SendCancel()
{
    try {
        std::thread([canceller = canceller_] {
            char error[256];
            PQcancel(canceller.get(), error, sizeof error);
        }).detach();
    } catch (const std::system_error&) {
        // No thread for the request: the grace period still ends the statement.
    }
}

void PostgresDB::cancel()
{
    std::lock_guard lock(cancelMutex_);
    if (cancelPending_)
        return;
    cancelPending_ = true;
    cancelAt_ = std::chrono::steady_clock::now();
    if (!inStatement_ || !canceller_)
        return; // the next statement refuses to start
    SendCancel();
    const uint64_t one = 1;
    if (wakeFd_ >= 0 && write(wakeFd_, &one, sizeof one) < 0)
        return; // the counter is full: a wake is pending anyway
}

// A failure on a connection that libpq found broken (the server went away) leaves the object
// disconnected, so that the next connect builds a new connection.
int PostgresDB::FailWith(const std::string& message)
{
    if (PQstatus(conn_.get()) == CONNECTION_BAD)
        connected = 0;
    if (abandoned_)
        return SetError(errorText,
            "the server did not end the cancelled statement within " + std::to_string(kCancelGraceMs / 1000)
                + " s; its connection was given up");
    return SetError(errorText, message, password_);
}
