// The SQL check: runs the event's statement on its long-lived connection (or on one taken from the
// run's pool for the execution) and keeps the first column of the first row as the check's value.
#include "engine/CheckWatch.h"
#include "engine/Checks.h"
#include "engine/ConnectionPool.h"
#include "engine/Iteration.h"
#include "engine/RunControl.h"
#include "external/support/CLog.h"
#include "external/support/CSettings.h"
#include "external/support/Clock.h"
#include "model/Quorvel.h"

namespace {

// Creates and connects the event's database object as needed; false on a connection error.
bool EnsureConnected(Quorvel& event)
{
    if (!event.db)
        event.db = event.pool ? event.pool->Take(event.checkConn) : CDB::newDB(event.checkConn.type);
    if (!event.db)
        return false;
    if (event.db->connected != 0)
        return true;
    return CDB::isOK(event.db->connect(&event.checkConn)) != 0;
}

// Executes the statement and reads its rows; false when the statement failed.
bool ExecuteAndFetch(Quorvel& event, Iteration& it, CheckWatch& watch)
{
    CDB& db = *event.db;
    db.closeCursor(0);
    const bool fetchAll = SettingInt("FetchAll") != 0;
    const auto stop = [&db] { db.cancel(); };
    CancelScope cancellable(stop);
    CheckWatch::Stopper timed(watch, stop);
    if (!CDB::isOK(db.execute(event.SQL, 0))) {
        if (!watch.TimedOut()) // the timeout has words of its own
            CLog::Bug(db.errorText, "Exec error");
        return false;
    }
    it.fetchStart = TickCount();
    int code = CDB::kOK;
    while (CDB::isOK(code = db.fetch(0))) {
        if (it.rows == 0)
            db.getData(1, &event.value, 0, 0, 0);
        ++it.rows;
        if (!fetchAll)
            break;
    }
    it.fetchEnd = TickCount();
    // A statement can also fail while its rows are read (an error in a later row, a cancel).
    if (code == CDB::kError) {
        if (!watch.TimedOut())
            CLog::Bug(db.errorText, "Exec error");
        return false;
    }
    // A half-read result would hold its locks (and the server's resources) until the next
    // iteration, which may be hours away.
    db.closeCursor(0);
    return true;
}

} // namespace

void RunSqlCheck(Quorvel& event, Iteration& it)
{
    CheckWatch watch(event); // connecting counts: a server that does not answer may hold it up too
    bool ok = false;
    if (!EnsureConnected(event))
        CLog::Bug(event.db ? event.db->errorText : std::string(), "Connection error", "Quorvel", __LINE__);
    else if (!watch.TimedOut())
        ok = ExecuteAndFetch(event, it, watch);
    if (watch.Settle(it))
        ok = false;
    it.checkOK = ok;
    it.status = ok ? "OK" : "FAILED";
}

void GiveBackConnection(Quorvel& event, const Iteration& it)
{
    if (!event.pool || !event.db)
        return;
    // A cancelled statement may have left the connection in any state: the next one is fresh.
    const bool failed = it.timedOut || g_breakAll != 0;
    event.pool->GiveBack(event.checkConn, std::move(event.db), failed);
}
