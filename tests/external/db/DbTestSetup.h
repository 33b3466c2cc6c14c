#pragma once

#include "external/db/CDB.h"
#include "support/TestEnv.h"
#include "support/TestServices.h"

#include <string>
#include <vector>

// The connections that every shared database test runs against. The PostgreSQL server and the
// ODBC driver registration come from scripts/test-services.d/postgres.sh, the MariaDB server and
// its driver from mariadb.sh (`make test`).
enum class TestDb { Sqlite, Postgres, OdbcSqlite, OdbcPostgres, OdbcMariaDB };

// A connection to this test's database; for the SQLite kinds a new, empty file in `dir`.
CONN_INFO TestConnection(TestDb kind, const TempDir& dir);

// A password that no error text may ever show.
inline constexpr const char* kWrongPassword = "Wrong-Pa55word";

// A connection that must fail, and a piece of the error text that says why.
struct BadConnection {
    std::string what;
    CONN_INFO info;
    std::string expected;
};
std::vector<BadConnection> BadConnections(TestDb kind, const TempDir& dir);

// The first column of the first row of `sql` (which getData must set, also to "" for NULL), or a
// text that starts with "error:".
std::string FirstValue(CDB& db, const std::string& sql);
