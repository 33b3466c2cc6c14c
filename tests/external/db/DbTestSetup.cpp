#include "DbTestSetup.h"

namespace {

std::string NewSqliteFile(const TempDir& dir)
{
    return MakeSqliteFile(dir.File("test.db"), "CREATE TABLE created_by_test (x)");
}

// StepAPI makes the SQLite ODBC driver step rows one at a time instead of reading them all;
// NoCreat keeps it from creating a missing file; Timeout is its busy time-out.
std::string OdbcSqliteTarget(const std::string& path)
{
    return DriverTarget("QUORVEL_TEST_ODBC_SQLITE_DRIVER", "Database=" + path + ";StepAPI=1;NoCreat=1;Timeout=5000");
}

} // namespace

CONN_INFO TestConnection(TestDb kind, const TempDir& dir)
{
    switch (kind) {
    case TestDb::Sqlite:
        return MakeConnInfo(DS_SQLITE, NewSqliteFile(dir));
    case TestDb::Postgres:
        return PostgresConnection();
    case TestDb::OdbcSqlite:
        return MakeConnInfo(DS_ODBC, OdbcSqliteTarget(NewSqliteFile(dir)));
    case TestDb::OdbcPostgres:
        return MakeConnInfo(DS_ODBC, ServiceEnv("QUORVEL_TEST_ODBC_PG"));
    case TestDb::OdbcMariaDB:
        return MariaDbConnection(true);
    }
    return {};
}

std::vector<BadConnection> BadConnections(TestDb kind, const TempDir& dir)
{
    WriteFile(dir.File("notes.txt"), std::string(4096, 'x'));
    switch (kind) {
    case TestDb::Sqlite:
        return { { "missing file", MakeConnInfo(DS_SQLITE, dir.File("missing.db"), "", kWrongPassword),
                     "unable to open database file" },
            { "not a database", MakeConnInfo(DS_SQLITE, dir.File("notes.txt")), "file is not a database" } };
    case TestDb::Postgres:
        return { { "no server", MakeConnInfo(DS_POSTGRES, "host=127.0.0.1 port=1 dbname=quorvel_test"),
                     "Connection refused" },
            { "wrong password",
                MakeConnInfo(DS_POSTGRES, ServiceEnv("QUORVEL_TEST_PG_SERVER"),
                    ServiceEnv("QUORVEL_TEST_PG_PASSWORD_USER"), kWrongPassword),
                "password authentication failed" },
            { "wrong password in the target",
                MakeConnInfo(DS_POSTGRES,
                    "postgresql://" + ServiceEnv("QUORVEL_TEST_PG_PASSWORD_USER") + ":" + kWrongPassword
                        + "@127.0.0.1:" + ServiceEnv("QUORVEL_TEST_PG_PORT") + "/quorvel_test"),
                "password authentication failed" },
            { "unknown database", MakeConnInfo(DS_POSTGRES, ServiceEnv("QUORVEL_TEST_PG") + " dbname=no_such_db"),
                "\"no_such_db\" does not exist" } };
    case TestDb::OdbcSqlite:
        return { { "missing file", MakeConnInfo(DS_ODBC, OdbcSqliteTarget(dir.File("missing.db"))), "connect failed" },
            { "unknown driver", MakeConnInfo(DS_ODBC, "DRIVER={No Such Driver}", "", kWrongPassword),
                "No Such Driver" } };
    case TestDb::OdbcPostgres:
        return { { "no server",
                     MakeConnInfo(DS_ODBC,
                         DriverTarget("QUORVEL_TEST_ODBC_PG_DRIVER", "Servername=127.0.0.1;Port=1;Database=quorvel_test")),
                     "refused" },
            { "wrong password",
                MakeConnInfo(DS_ODBC, ServiceEnv("QUORVEL_TEST_ODBC_PG_SERVER"),
                    ServiceEnv("QUORVEL_TEST_PG_PASSWORD_USER"), kWrongPassword),
                "password authentication failed" },
            { "unknown DSN", MakeConnInfo(DS_ODBC, "NoSuchDsn", "quorvel", kWrongPassword),
                "Data source name not found" } };
    case TestDb::OdbcMariaDB: {
        const std::string server = ServiceEnv("QUORVEL_TEST_MARIADB_SERVER");
        const std::string user = ServiceEnv("QUORVEL_TEST_MARIADB_USER");
        return { { "no server",
                     MakeConnInfo(DS_ODBC, DriverTarget("QUORVEL_TEST_MARIADB_DRIVER", "SERVER=127.0.0.1;PORT=1")),
                     "Can't connect to server on '127.0.0.1'" },
            { "wrong password", MakeConnInfo(DS_ODBC, server, user, kWrongPassword),
                "Access denied for user 'quorvel'@'127.0.0.1' (using password: YES)" },
            { "unknown database",
                MakeConnInfo(DS_ODBC, ServiceEnv("QUORVEL_TEST_MARIADB") + ";DATABASE=no_such_db"),
                "Access denied for user 'quorvel'@'127.0.0.1' to database 'no_such_db'" } };
    }
    }
    return {};
}

std::string FirstValue(CDB& db, const std::string& sql)
{
    db.closeCursor(0);
    if (!CDB::isOK(db.execute(sql, 0)))
        return "error: " + db.errorText;
    if (!CDB::isOK(db.fetch(0)))
        return "error: no row " + db.errorText;
    std::string value = "(left as it was)";
    if (!CDB::isOK(db.getData(1, &value, 0, 0, 0)))
        return "error: " + db.errorText;
    return value;
}
