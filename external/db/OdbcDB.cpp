#include "external/db/OdbcDB.h"

#include "external/db/DriverError.h"
#include "external/support/StrFormat.h"

#include <sqlext.h>

#include <algorithm>

namespace {

SQLCHAR* Text(const std::string& text)
{
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
}

struct Diagnostics {
    std::string text; // every record's message, one per line
    std::string state; // the SQLSTATE of the first record
};

Diagnostics ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    Diagnostics result;
    SQLCHAR state[SQL_SQLSTATE_SIZE + 1];
    SQLCHAR message[2048];
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1;
         SQL_SUCCEEDED(SQLGetDiagRec(type, handle, record, state, &native, message, sizeof message, &length));
         ++record) {
        if (record == 1)
            result.state = reinterpret_cast<const char*>(state);
        if (!result.text.empty())
            result.text += '\n';
        result.text += reinterpret_cast<const char*>(message);
    }
    if (result.text.empty())
        result.text = "the ODBC driver gave no reason";
    return result;
}

// Braces keep ";" and blanks inside a value. Only values that need them get them: not every
// driver takes them off every attribute (the PostgreSQL driver keeps them around a user name).
void AppendAttribute(std::string& connectionString, const char* key, const std::string& value)
{
    if (value.empty())
        return;
    if (!connectionString.empty() && connectionString.back() != ';')
        connectionString += ';';
    const bool braced = value.find_first_of(";{}") != std::string::npos || value.front() == ' ' || value.back() == ' ';
    if (braced)
        connectionString += StrFormat("%s={%s}", key, ReplaceAll(value, "}", "}}").c_str());
    else
        connectionString += StrFormat("%s=%s", key, value.c_str());
}

// A bare name is a DSN; anything with "=" is a connection string for the driver itself.
SQLRETURN Login(SQLHDBC dbc, const CONN_INFO& info)
{
    if (info.target.find('=') == std::string::npos) {
        const auto length = [](const std::string& s) -> SQLSMALLINT { return s.empty() ? 0 : SQL_NTS; };
        return SQLConnect(dbc, Text(info.target), SQL_NTS, Text(info.user), length(info.user), Text(info.password),
            length(info.password));
    }
    std::string connectionString = info.target;
    AppendAttribute(connectionString, "UID", info.user);
    AppendAttribute(connectionString, "PWD", info.password);
    return SQLDriverConnect(dbc, nullptr, Text(connectionString), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
}

} // namespace

OdbcDB::~OdbcDB()
{
    disconnect();
}

int OdbcDB::connect(const CONN_INFO* info)
{
    disconnect();
    password_ = info->password;
    OdbcHandle env = AllocOdbcHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    if (!env)
        return SetError(errorText, "the ODBC driver manager could not make an environment");
    SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    OdbcHandle dbc = AllocOdbcHandle(SQL_HANDLE_DBC, env.get());
    if (!dbc)
        return FailFrom(SQL_HANDLE_ENV, env.get());
    SQLSetConnectAttr(dbc.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(kLoginTimeout), 0);
    if (!SQL_SUCCEEDED(Login(dbc.get(), *info)))
        return FailFrom(SQL_HANDLE_DBC, dbc.get());
    env_ = std::move(env);
    dbc_ = std::move(dbc);
    connected = 1;
    return kOK;
}

int OdbcDB::disconnect()
{
    closeCursor(0);
    dbc_.reset();
    env_.reset();
    connected = 0;
    return kOK;
}

int OdbcDB::execute(const std::string& statement, int)
{
    closeCursor(0);
    if (!dbc_)
        return SetError(errorText, "not connected");
    OdbcHandle stmt = AllocOdbcHandle(SQL_HANDLE_STMT, dbc_.get());
    if (!stmt)
        return FailFrom(SQL_HANDLE_DBC, dbc_.get());
    {
        std::lock_guard lock(stmtMutex_);
        stmt_ = std::move(stmt);
    }
    const SQLRETURN rc = SQLExecDirect(stmt_.get(), Text(statement), static_cast<SQLINTEGER>(statement.size()));
    if (rc == SQL_NO_DATA) // an UPDATE or DELETE that matched no row
        return kOK;
    if (!SQL_SUCCEEDED(rc))
        return FailFrom(SQL_HANDLE_STMT, stmt_.get());
    SQLNumResultCols(stmt_.get(), &columns_);
    return kOK;
}

int OdbcDB::fetch(int)
{
    if (columns_ == 0)
        return kNoRow;
    const SQLRETURN rc = SQLFetch(stmt_.get());
    if (rc == SQL_NO_DATA) {
        closeCursor(0);
        return kNoRow;
    }
    if (!SQL_SUCCEEDED(rc))
        return FailFrom(SQL_HANDLE_STMT, stmt_.get());
    onRow_ = true;
    values_.resize(static_cast<size_t>(columns_));
    read_.assign(static_cast<size_t>(columns_), false);
    return kOK;
}

int OdbcDB::getData(int column, std::string* out, int, int, int)
{
    if (CheckColumn(errorText, onRow_, column, columns_) != kOK)
        return kError;
    const auto index = static_cast<size_t>(column - 1);
    if (!read_[index]) {
        if (ReadColumn(column, &values_[index]) != kOK)
            return kError;
        read_[index] = true;
    }
    *out = values_[index];
    return kOK;
}

// The column's title: its alias when it has one, as the grid of a console heads it.
int OdbcDB::columnName(int column, std::string* out)
{
    if (CheckColumn(errorText, onRow_, column, columns_) != kOK)
        return kError;
    char name[512] = "";
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLColAttribute(
        stmt_.get(), static_cast<SQLUSMALLINT>(column), SQL_DESC_LABEL, name, sizeof name, &length, nullptr);
    if (!SQL_SUCCEEDED(rc))
        return FailFrom(SQL_HANDLE_STMT, stmt_.get());
    out->assign(name, std::min(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), sizeof name - 1));
    return kOK;
}

// Long values arrive in pieces: the driver says so by filling the buffer to the end.
int OdbcDB::ReadColumn(int column, std::string* value)
{
    value->clear();
    char buffer[4096];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc
            = SQLGetData(stmt_.get(), static_cast<SQLUSMALLINT>(column), SQL_C_CHAR, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA || indicator == SQL_NULL_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
            return FailFrom(SQL_HANDLE_STMT, stmt_.get());
        const bool more = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer);
        value->append(buffer, more ? sizeof buffer - 1 : static_cast<size_t>(indicator));
        if (!more)
            break;
    }
    return kOK;
}

int OdbcDB::closeCursor(int)
{
    columns_ = 0;
    onRow_ = false;
    read_.clear();
    std::lock_guard lock(stmtMutex_);
    stmt_.reset();
    return kOK;
}

void OdbcDB::cancel()
{
    std::lock_guard lock(stmtMutex_);
    if (stmt_)
        SQLCancel(stmt_.get());
}

// After a failure that lost the connection ("08" is SQLSTATE's class of connection errors) the
// object counts as disconnected, so that the next connect builds a new connection. A failed
// statement is closed, so that fetch finds no rows.
int OdbcDB::FailFrom(SQLSMALLINT type, SQLHANDLE handle)
{
    const Diagnostics diagnostics = ReadDiagnostics(type, handle);
    if (diagnostics.state.starts_with("08") || ConnectionDead())
        connected = 0;
    if (type == SQL_HANDLE_STMT)
        closeCursor(0);
    return SetError(errorText, diagnostics.text, password_);
}

bool OdbcDB::ConnectionDead() const
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    return dbc_ && SQL_SUCCEEDED(SQLGetConnectAttr(dbc_.get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr))
        && dead == SQL_CD_TRUE;
}
