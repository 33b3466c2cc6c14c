#include "external/db/SqliteDB.h"

#include "external/db/DriverError.h"

#include <sqlite3.h>

void SqliteDB::CloseDatabase::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

void SqliteDB::FinalizeStatement::operator()(sqlite3_stmt* stmt) const
{
    sqlite3_finalize(stmt);
}

SqliteDB::~SqliteDB()
{
    disconnect();
}

int SqliteDB::Open(const std::string& path, Database& db, std::string& error)
{
    sqlite3* raw = nullptr;
    // Without SQLITE_OPEN_CREATE a mistyped path is an error instead of a new, empty database.
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    db.reset(raw);
    if (rc != SQLITE_OK) {
        error = std::string(raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)) + ": " + path;
        return kError;
    }
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    // A file that is no database opens without complaint; reading the schema tells at once.
    if (sqlite3_exec(raw, "SELECT 1 FROM sqlite_master LIMIT 1", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = std::string(sqlite3_errmsg(raw)) + ": " + path;
        return kError;
    }
    return kOK;
}

int SqliteDB::connect(const CONN_INFO* info)
{
    disconnect();
    Database db;
    std::string error;
    if (Open(info->target.empty() ? ":memory:" : info->target, db, error) != kOK)
        return SetError(errorText, error);
    std::lock_guard lock(handleMutex_);
    db_ = std::move(db);
    connected = 1;
    return kOK;
}

int SqliteDB::disconnect()
{
    closeCursor(0);
    std::lock_guard lock(handleMutex_);
    db_.reset();
    connected = 0;
    return kOK;
}

// Statements run in order until one yields a row; its rows are the result. Stepping onto the
// first row here makes execute report the errors that SQLite finds only when it runs a statement.
int SqliteDB::execute(const std::string& statement, int)
{
    closeCursor(0);
    if (!db_)
        return SetError(errorText, "not connected");
    const char* rest = statement.c_str();
    const char* const end = rest + statement.size();
    while (rest < end) {
        sqlite3_stmt* raw = nullptr;
        const int rc = sqlite3_prepare_v2(db_.get(), rest, static_cast<int>(end - rest), &raw, &rest);
        stmt_.reset(raw);
        if (rc != SQLITE_OK)
            return FailFromDatabase();
        if (!stmt_)
            continue; // only blanks or a comment
        const int stepped = Step();
        if (stepped != kNoRow)
            return stepped;
    }
    return kOK;
}

int SqliteDB::fetch(int)
{
    switch (cursor_) {
    case Cursor::FirstRowWaiting:
        cursor_ = Cursor::OnRow;
        return kOK;
    case Cursor::OnRow:
        return Step();
    case Cursor::Closed:
        break;
    }
    return kNoRow;
}

// One step of the current statement. The cursor is on a row (or waiting with the first one)
// after kOK, and closed after kNoRow or an error.
int SqliteDB::Step()
{
    switch (sqlite3_step(stmt_.get())) {
    case SQLITE_ROW:
        cursor_ = cursor_ == Cursor::Closed ? Cursor::FirstRowWaiting : Cursor::OnRow;
        return kOK;
    case SQLITE_DONE:
        closeCursor(0);
        return kNoRow;
    default:
        return FailFromDatabase();
    }
}

int SqliteDB::getData(int column, std::string* out, int, int, int)
{
    const bool onRow = cursor_ == Cursor::OnRow;
    if (CheckColumn(errorText, onRow, column, onRow ? sqlite3_column_count(stmt_.get()) : 0) != kOK)
        return kError;
    const int index = column - 1;
    // Read the text before its length: the conversion to text may change the length.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), index));
    if (text == nullptr)
        out->clear();
    else
        out->assign(text, static_cast<size_t>(sqlite3_column_bytes(stmt_.get(), index)));
    return kOK;
}

int SqliteDB::columnName(int column, std::string* out)
{
    const bool onRow = cursor_ == Cursor::OnRow;
    if (CheckColumn(errorText, onRow, column, onRow ? sqlite3_column_count(stmt_.get()) : 0) != kOK)
        return kError;
    const char* name = sqlite3_column_name(stmt_.get(), column - 1);
    if (name == nullptr)
        return SetError(errorText, "out of memory");
    out->assign(name);
    return kOK;
}

int SqliteDB::closeCursor(int)
{
    stmt_.reset();
    cursor_ = Cursor::Closed;
    return kOK;
}

void SqliteDB::cancel()
{
    std::lock_guard lock(handleMutex_);
    if (db_)
        sqlite3_interrupt(db_.get());
}

int SqliteDB::FailFromDatabase()
{
    SetError(errorText, sqlite3_errmsg(db_.get()));
    closeCursor(0);
    return kError;
}
