// ODBC through CDB beside the same work on the ODBC C API, with the SQLite, the PostgreSQL and
// the MariaDB drivers.

#include "BenchSupport.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

namespace {

struct Connection {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
};

Connection Open(const std::string& connectionString)
{
    Connection c;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &c.env);
    SQLSetEnvAttr(c.env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, c.env, &c.dbc);
    auto* text = reinterpret_cast<SQLCHAR*>(const_cast<char*>(connectionString.c_str()));
    if (!SQL_SUCCEEDED(SQLDriverConnect(c.dbc, nullptr, text, SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT))) {
        std::fprintf(stderr, "cannot connect to %s\n", connectionString.c_str());
        std::exit(1);
    }
    return c;
}

void Close(Connection& c)
{
    SQLDisconnect(c.dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, c.dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, c.env);
}

// Runs `sql` and reads every column of its first row, or of all rows, as text.
void Direct(benchmark::State& state, const std::string& connectionString, const char* sql, bool allRows)
{
    Connection c = Open(connectionString);
    std::string value;
    char buffer[4096];
    for (auto _ : state) {
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, c.dbc, &stmt);
        SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql)), SQL_NTS);
        SQLSMALLINT columns = 0;
        SQLNumResultCols(stmt, &columns);
        for (bool more = true; more && SQL_SUCCEEDED(SQLFetch(stmt)); more = allRows) {
            for (SQLUSMALLINT column = 1; column <= columns; ++column) {
                SQLLEN indicator = 0;
                SQLGetData(stmt, column, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
                value.assign(buffer, indicator > 0 ? static_cast<size_t>(indicator) : 0);
                benchmark::DoNotOptimize(value);
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    }
    Close(c);
}

void RegisterKind(const std::string& kind, const std::string& connectionString,
    std::span<const char* const> setup = bench::kSetupSql)
{
    CONN_INFO info;
    info.type = DS_ODBC;
    info.target = connectionString;
    bench::CreateTable(info, setup);
    bench::RegisterQuorvel(kind, info);
    bench::Register(kind + "/count/direct", Direct, connectionString, bench::kCountSql, false);
    bench::Register(kind + "/10k-rows/direct", Direct, connectionString, bench::kRowsSql, true);
}

} // namespace

int main(int argc, char** argv)
{
    bench::ScratchDir dir;
    const std::string path = dir.File("bench.db");
    sqlite3* created = nullptr;
    sqlite3_open_v2(path.c_str(), &created, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_close(created);

    RegisterKind("odbc-sqlite",
        "DRIVER={" + bench::RequireEnv("QUORVEL_TEST_ODBC_SQLITE_DRIVER") + "};Database=" + path
            + ";StepAPI=1;NoCreat=1");
    RegisterKind("odbc-postgres", bench::RequireEnv("QUORVEL_TEST_ODBC_PG"));
    RegisterKind("odbc-mariadb", bench::RequireEnv("QUORVEL_TEST_MARIADB"), bench::kMariaDbSetupSql);
    return bench::RunAll(argc, argv);
}
